#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when the English catalogue is not complete for today's sources.

Runs lupdate over the sources into a copy of the catalogue, so the committed file is never touched,
and reports every text that has no finished English and every catalogued text no source has any more.
"""
import argparse
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path


def messages(catalogue):
    """(context, source) → (finished, translations) for every message of a .ts file."""
    found = {}
    for context in ElementTree.parse(catalogue).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            forms = [form.text or "" for form in translation.iter("numerusform")] or [translation.text or ""]
            finished = translation.get("type") is None and all(form.strip() for form in forms)
            found[(name, message.findtext("source"))] = (finished, forms)
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lupdate", required=True)
    parser.add_argument("--catalogue", required=True, type=Path)
    parser.add_argument("--sources", required=True)
    parser.add_argument("options", nargs="*")
    arguments = parser.parse_args()

    with tempfile.TemporaryDirectory() as folder:
        fresh = Path(folder) / arguments.catalogue.name
        shutil.copyfile(arguments.catalogue, fresh)
        subprocess.run([arguments.lupdate, "-silent", *arguments.options, arguments.sources, "-ts", str(fresh)],
                       check=True)
        current = messages(fresh)
    committed = messages(arguments.catalogue)

    problems = [f"no English: [{context}] {source!r}" for (context, source), (finished, _) in current.items()
                if not finished]
    problems += [f"no longer in the sources: [{context}] {source!r}" for context, source in committed
                 if (context, source) not in current]
    if problems:
        print("\n".join(problems))
        print(f"{len(problems)} problem(s). Run `cmake --build <build> --target update_translations`,"
              f" then give every new text its English in {arguments.catalogue}.", file=sys.stderr)
        return 1
    print(f"{len(current)} texts, each with its English")
    return 0


if __name__ == "__main__":
    sys.exit(main())
