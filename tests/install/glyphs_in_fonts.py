#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Every symbol the interface writes has a glyph in a font of the packages the .deb depends on:
glyphs_in_fonts.py <source folder> <font package>...

Hangul and ASCII are left out (every CJK font has them); the other characters of each string
literal in the C++ sources are looked up with fontconfig among the font files of those packages.
"""
import pathlib
import re
import subprocess
import sys

# A string literal, or a comment that ends the line's code.
TOKEN = re.compile(r'"(?:[^"\\\n]|\\.)*"|//.*')


def shown_symbols(source):
    symbols = {}
    for path in sorted(pathlib.Path(source).rglob("*.cpp")) + sorted(pathlib.Path(source).rglob("*.h")):
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            for token in TOKEN.findall(line):
                if token.startswith("/"):
                    break
                for char in token:
                    if ord(char) > 0x7F and not (0xAC00 <= ord(char) <= 0xD7A3 or 0x3130 <= ord(char) <= 0x318F):
                        symbols.setdefault(char, f"{path}:{number}")
    return symbols


def main():
    source, packages = sys.argv[1], sys.argv[2:]
    fonts = set()
    for package in packages:
        listing = subprocess.run(["dpkg", "-L", package], capture_output=True, text=True, check=True).stdout
        fonts.update(line for line in listing.splitlines() if line.endswith((".ttf", ".otf", ".ttc")))
    missing = []
    for char, where in shown_symbols(source).items():
        listing = subprocess.run(["fc-list", f":charset={ord(char):x}", "file"], capture_output=True, text=True)
        if not {line.split(":")[0].strip() for line in listing.stdout.splitlines()} & fonts:
            missing.append(f"no font of {', '.join(packages)} has U+{ord(char):04X} {char} ({where})")
    print("\n".join(missing + [f"{len(missing)} missing glyphs"]))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
