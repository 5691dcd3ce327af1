#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Stands in for vantory-web and misbehaves as FAKE_WORKER_MODE says."""
import json
import os
import sys

mode = os.environ.get("FAKE_WORKER_MODE", "")


def send(text):
    print(text if isinstance(text, str) else json.dumps(text, separators=(",", ":")) + "\n", end="", flush=True)


send({"junk": "garbage\n", "beforeReady": {"type": "url", "page": "canvas", "url": "https://x/"}}.get(mode, ""))
hello = sys.stdin.readline()
send({"type": "ready", "version": 99 if mode == "wrongVersion" else 4})
send("x" * (5 * 1024 * 1024) if mode == "oversized" else "")
for line in sys.stdin:
    command = json.loads(line)
    if mode == "unknownCall":
        send({"type": "result", "call": 999999, "kind": "other"})
    elif mode == "unknownLoad" and command["type"] == "load":
        send({"type": "navigation", "page": command["page"], "load": command["load"] + 1, "state": "finished", "url": "",
              "httpStatus": 0})
    elif mode == "crossing" and command["type"] == "load":
        # The end of the load before crosses this load's command.
        for load in (command["load"] - 1, command["load"]):
            send({"type": "navigation", "page": command["page"], "load": load, "state": "finished", "url": "",
              "httpStatus": 0})
    elif mode == "crossing" and command["type"] == "evaluate":
        send({"type": "result", "call": command["call"], "kind": "other"})
    elif mode == "exit":
        sys.exit(1)
    elif mode == "buttons" and command["type"] == "showLogin":
        for button in ("sync", "closed"):
            send({"type": "loginButton", "page": command["page"], "button": button})
# "silent" and the rest: answer nothing more until stdin closes.
