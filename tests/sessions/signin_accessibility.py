#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The sign-in window as a screen reader sees it over AT-SPI, and a sign-in as a blind student makes it.

signin_accessibility.py <user> <password>: on the session's accessibility bus, with the window "Vantory ·
BrevaneLearn 로그인" open on the fixture sites' sign-in page. It finds the page's link to the sign-in host's form,
then the form's heading, both labelled fields and the button, by role and name; the screen reader moves the focus to
each (AT-SPI) and the keyboard does the rest (xdotool), until the signed-in page shows. Prints what it heard; exits
non-zero on the first thing missing.
"""

import subprocess
import sys
import time

import pyatspi

WINDOW = "Vantory · BrevaneLearn 로그인"


def within(seconds, find, what):
    """Polls find() until it returns something, for at most `seconds`; what (a text, or a function that gives one at
    the time-out) says what was missing."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            found = find()
        except Exception:  # an object that went away while we looked
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            sys.exit(f"FAIL: {what() if callable(what) else what}")
        time.sleep(0.2)


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def first(node, role, name=None, description=None):
    for child in descendants(node):
        if child.getRoleName() == role and name in (None, child.name) \
                and description in (None, child.description):
            return child
    return None


def window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "vantory-web":
            for child in app:
                if child.name == WINDOW and child.getState().contains(pyatspi.STATE_SHOWING):
                    return child
    return None


def heard(node):
    return f"[{node.getRoleName()}] {node.name!r}" + (f" ({node.description})" if node.description else "")


def focus(node, *keys, text=None):
    """Moves the focus to node as a screen reader does, then types text or presses keys on it."""
    action = node.queryAction()
    action.doAction(next(i for i in range(action.nActions) if action.getName(i) == "SetFocus"))
    within(10, lambda: node.getState().contains(pyatspi.STATE_FOCUSED), f"no focus on {heard(node)}")
    subprocess.run(["xdotool", "type", "--delay", "20", text] if text else ["xdotool", "key", *keys], check=True)


def main():
    user, password = sys.argv[1:3]
    frame = within(30, window, f"no window {WINDOW!r} on the accessibility bus")
    print("window:", heard(frame))
    if frame.getRoleName() != "frame":
        sys.exit(f"FAIL: the window is a {frame.getRoleName()!r}, not a frame")

    # The window's own lines: the text is what is read, the description says what it is.
    location = within(30, lambda: first(frame, "label", description="페이지 주소"), "no address line")
    within(30, lambda: location.name.startswith("보안되지 않은 연결 (http) · 127.0.0.1") and location,
           lambda: f"the address line reads {location.name!r}")
    status = within(10, lambda: first(frame, "label", description="상태"), "no status line")
    print("lines:", heard(location), "/", heard(status))
    if not status.name:
        sys.exit("FAIL: the status line reads nothing")

    document = within(30, lambda: first(frame, "document web"), "no web document")
    link = within(30, lambda: first(document, "link", "Sign in with Brevane CWL"),
                  "the sign-in page's link is not on the bus (the page is empty to a screen reader)")
    print("page:", heard(document), "->", heard(link))
    focus(link, "Return")

    # The sign-in host's form.
    def form():
        document = first(frame, "document web")
        fields = [first(document, "heading", "Brevane sign-in"), first(document, "text", "Username"),
                  first(document, "password text", "Password"), first(document, "push button", "Sign in")]
        return fields if all(fields) else None
    heading, name, secret, button = within(
        30, form, lambda: "no heading, labelled fields and button on the sign-in form; the page holds "
        + ", ".join(heard(node) for node in descendants(first(frame, "document web")) if node.name))
    print("form:", ", ".join(heard(node) for node in (heading, name, secret, button)))
    focus(name, text=user)
    within(10, lambda: name.queryText().getText(0, -1) == user, "the name field does not read what was typed")
    focus(secret, text=password)
    focus(button, "Return")

    # Signed in: the site's own page.
    within(30, lambda: first(first(frame, "document web"), "heading", "Courses"), "no signed-in page after the button")
    print("signed in:", heard(location))


if __name__ == "__main__":
    main()
