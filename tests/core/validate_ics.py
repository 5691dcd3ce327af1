# SPDX-License-Identifier: GPL-3.0-or-later
"""validate_ics.py FILE [SUMMARY ...]: line rules, parsing, unique UIDs and the events and tasks of an .ics file."""
import sys

import icalendar

data = open(sys.argv[1], "rb").read()
problems = [] if data.endswith(b"\r\n") else ["file does not end with CR LF"]
for number, line in enumerate(data[:-2].split(b"\r\n"), 1):
    if b"\r" in line or b"\n" in line or len(line) > 75:
        problems.append("line %d: bare CR or LF, or %d octets" % (number, len(line)))
    line.decode("utf-8")  # raises on a split character

calendar = icalendar.Calendar.from_ical(data)
events = calendar.walk("VEVENT")
problems += ["%s: %s" % (part.name, part.errors) for part in calendar.walk() if part.errors]
problems += ["event without " + key for event in events for key in ("UID", "DTSTART", "SUMMARY") if key not in event]
for event in events:
    event.decoded("DTSTART")  # raises on a malformed date-time
tasks = calendar.walk("VTODO")
problems += ["task without " + key for task in tasks for key in ("UID", "SUMMARY", "DTSTAMP") if key not in task]
for task in tasks:
    for key in ("DUE", "DTSTART", "COMPLETED", "DTSTAMP", "LAST-MODIFIED"):
        if key in task:
            task.decoded(key)
events += tasks
uids = [str(event["UID"]) for event in events if "UID" in event]
problems += ["%d events share %d UIDs" % (len(uids), len(set(uids)))] if len(set(uids)) != len(uids) else []
problems += ["UID %r spans lines" % uid for uid in uids if "\n" in uid or "\r" in uid]
summaries = {str(event["SUMMARY"]) for event in events}
problems += ["no event with SUMMARY %r among %r" % (s, sorted(summaries)) for s in sys.argv[2:] if s not in summaries]
if problems:
    sys.exit("validate_ics: " + "; ".join(problems))
