#!/usr/bin/env python3
"""Stands in for vantory-web and misbehaves as FAKE_WORKER_MODE says."""
import json
import os
import sys

mode = os.environ.get("FAKE_WORKER_MODE", "")


def send(text):
    sys.stdout.write(text)
    sys.stdout.flush()


def message(**fields):
    send(json.dumps(fields, separators=(",", ":")) + "\n")


if mode == "junk":
    send("garbage\n")
elif mode == "beforeReady":
    message(type="url", page="canvas", url="https://x/")
hello = sys.stdin.readline()
if mode == "wrongVersion":
    message(type="ready", version=99)
else:
    message(type="ready", version=2)
if mode == "oversized":
    send("x" * (5 * 1024 * 1024))
for line in sys.stdin:
    command = json.loads(line)
    if mode == "unknownCall":
        message(type="result", call=999999, kind="other")
    elif mode == "unknownLoad" and command["type"] == "load":
        message(type="navigation", page=command["page"], load=command["load"] + 1, state="finished", url="")
    elif mode == "exit":
        sys.exit(1)
    elif mode == "buttons" and command["type"] == "showLogin":
        message(type="loginButton", page=command["page"], button="sync")
        message(type="loginButton", page=command["page"], button="closed")
    elif mode == "quits" and command["type"] == "quit":
        sys.exit(0)
# "silent" and the rest: answer nothing more until stdin closes.
