#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a tracked source file lacks its licence line, listing the files.
#   check_licence.sh <source folder>
set -euo pipefail
cd "$1"
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "not a git checkout: nothing to check" >&2
    exit 77
fi
missing=$(git ls-files -z -- '*.cpp' '*.h' '*.h.in' '*.js' '*.qml' '*.css' '*.sh' '*.py' '*.cmake' \
    '*CMakeLists.txt' .ci/run | xargs -0 -r grep -L -m1 'SPDX-License-Identifier: GPL-3.0-or-later' || true)
if [[ -n "$missing" ]]; then
    echo "without the line 'SPDX-License-Identifier: GPL-3.0-or-later':" >&2
    echo "$missing" >&2
    exit 1
fi
