#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when any tracked C++ file differs from what clang-format makes of it, listing the differences.
#   check_format.sh <source folder> <clang-format>
set -euo pipefail
cd "$1"
if ! command -v "$2" >/dev/null; then
    echo "$2 not found: bash scripts/setup.sh installs clang-format" >&2
    exit 1
fi
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "not a git checkout: nothing to compare" >&2
    exit 77
fi
git ls-files -z -- '*.cpp' '*.h' '*.h.in' | xargs -0 -r "$2" --dry-run --Werror
