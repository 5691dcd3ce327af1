#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the release configuration and starts Vantory.
#   bash scripts/run.sh [vantory options]     e.g. --data-dir <folder>
#   bash scripts/run.sh --demo                 sample deadlines around now, no account needed
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=build/release
# The options are scripts/test.sh's, which compiles the benchmarks here too; only what runs is built.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVANTORY_BUILD_BENCHMARKS=ON -DVANTORY_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target vantory vantory-sample

if [[ "${1:-}" == "--demo" ]]; then
    shift
    demo="${XDG_CACHE_HOME:-$HOME/.cache}/vantory-demo"
    "$build/bin/vantory-sample" "$demo" >/dev/null
    set -- --data-dir "$demo" "$@"
fi

# --help, --version and the bar mode need no display.
needs_display=1
for argument in "$@"; do
    [[ "$argument" == -h || "$argument" == --help || "$argument" == -v || "$argument" == --version
        || "$argument" == --bar* ]] && needs_display=0
done
if ((needs_display)) && [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No desktop session found (DISPLAY or WAYLAND_DISPLAY); start Vantory from a desktop session." >&2
    exit 1
fi
exec "$build/bin/vantory" "$@"
