# SPDX-License-Identifier: GPL-3.0-or-later
"""A phone's task app, through Debian's python3-caldav: checks off the task with the given UID.

Usage: phone.py COLLECTION_URL USER PASSWORD UID
"""
import sys

import caldav

collection, user, password, uid = sys.argv[1:5]
client = caldav.DAVClient(url=collection, username=user, password=password)
client.calendar(url=collection).todo_by_uid(uid).complete()
