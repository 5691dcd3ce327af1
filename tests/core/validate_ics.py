"""Checks an exported .ics file with an independent parser (python3-icalendar).

Usage: validate_ics.py FILE [SUMMARY ...]
Exits non-zero when the file breaks the line rules, does not parse, holds an event without
UID, DTSTART or SUMMARY, or lacks an event whose unfolded, unescaped SUMMARY equals each SUMMARY.
"""
import sys

import icalendar


def fail(message):
    print("validate_ics: " + message, file=sys.stderr)
    sys.exit(1)


def main():
    if len(sys.argv) < 2:
        fail("usage: validate_ics.py FILE [SUMMARY ...]")
    with open(sys.argv[1], "rb") as file:
        data = file.read()

    if not data.endswith(b"\r\n"):
        fail("file does not end with CR LF")
    for number, line in enumerate(data[:-2].split(b"\r\n"), 1):
        if b"\r" in line or b"\n" in line:
            fail("bare CR or LF on line %d" % number)
        if len(line) > 75:
            fail("line %d has %d octets" % (number, len(line)))
        line.decode("utf-8")  # raises on a split character

    calendar = icalendar.Calendar.from_ical(data)
    events = calendar.walk("VEVENT")
    for component in calendar.walk():
        if component.errors:
            fail("%s: %s" % (component.name, component.errors))
    for event in events:
        for key in ("UID", "DTSTART", "SUMMARY"):
            if key not in event:
                fail("event without " + key)
        event.decoded("DTSTART")  # raises on a malformed date-time
    summaries = {str(event["SUMMARY"]) for event in events}
    for expected in sys.argv[2:]:
        if expected not in summaries:
            fail("no event with SUMMARY %r among %r" % (expected, sorted(summaries)))


if __name__ == "__main__":
    main()
