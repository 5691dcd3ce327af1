#!/usr/bin/env python3
"""Every symbol the interface writes has a glyph in a font of the packages the .deb depends on:
glyphs_in_fonts.py <source folder> <font package>...

Hangul and ASCII are left out (every CJK font has them); the other characters of each string
literal in the C++ sources are looked up with fontconfig among the font files of those packages.
"""
import pathlib
import re
import subprocess
import sys

LITERAL = re.compile(r'"(?:[^"\\\n]|\\.)*"')


def literals(line):
    # A comment after code: everything from a "//" that lies outside a literal.
    code, text = [], line
    while text:
        quote, comment = text.find('"'), text.find("//")
        if comment != -1 and (quote == -1 or comment < quote):
            break
        match = LITERAL.search(text)
        if not match:
            break
        code.append(match.group(0))
        text = text[match.end():]
    return code


def shown_symbols(source):
    symbols = {}
    for path in sorted(pathlib.Path(source).rglob("*.cpp")) + sorted(pathlib.Path(source).rglob("*.h")):
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            for literal in literals(line):
                for char in literal:
                    code = ord(char)
                    if code > 0x7F and not (0xAC00 <= code <= 0xD7A3 or 0x3130 <= code <= 0x318F):
                        symbols.setdefault(char, f"{path}:{number}")
    return symbols


def font_files(packages):
    files = set()
    for package in packages:
        listing = subprocess.run(["dpkg", "-L", package], capture_output=True, text=True, check=True).stdout
        files.update(line for line in listing.splitlines() if line.endswith((".ttf", ".otf", ".ttc")))
    return files


def main():
    source, packages = sys.argv[1], sys.argv[2:]
    fonts = font_files(packages)
    missing = []
    for char, where in shown_symbols(source).items():
        listing = subprocess.run(["fc-list", f":charset={ord(char):x}", "file"], capture_output=True, text=True)
        covering = {line.split(":")[0].strip() for line in listing.stdout.splitlines()}
        if not covering & fonts:
            missing.append(f"U+{ord(char):04X} {char} ({where})")
    for line in missing:
        print(f"no font of {', '.join(packages)} has {line}")
    print(f"{len(missing)} missing glyphs")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
