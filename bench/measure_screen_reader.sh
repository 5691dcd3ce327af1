#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The web worker's memory and time with the engine's accessibility bridge, which shows pages to
# screen readers, against a worker built without it: the first launch with the sign-in window open
# (bench/measure_app.sh's sign-in run, 60 s) and both passes in hidden pages (vantory-sync-bench,
# 3 runs), each without an assistive technology and with one: an AT-SPI bus, Qt's bridge on, and a
# stand-in screen reader that listens to focus and tree changes and reads the sign-in window's tree
# every 5 s.
#   bash bench/measure_screen_reader.sh <build folder> <vantory-web built without the bridge>
# (the second: build the tree with main.cpp's showPagesToScreenReaders() call removed and copy its
# bin/vantory-web elsewhere). Needs at-spi2-core and python3-pyatspi.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:?build folder}")
without=$(realpath "${2:?a vantory-web without the bridge}")
if [[ -z ${DBUS_SESSION_BUS_ADDRESS:-} || $DBUS_SESSION_BUS_ADDRESS == disabled: ]]; then
    exec dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d)
export DISPLAY=:78
Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
background=($!)
trap 'kill "${background[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
background+=($!)
sleep 1

cat >"$work/reader.py" <<'PY'
import pyatspi
from gi.repository import GLib

def read():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "vantory-web":
            stack = list(app)
            while stack:
                node = stack.pop()
                if node is not None:
                    node.name, node.getRoleName()
                    stack.extend(node)
    return True

pyatspi.Registry.registerEventListener(lambda event: None, "focus:", "object:state-changed:focused",
                                       "object:children-changed", "object:property-change:accessible-name")
GLib.timeout_add_seconds(5, read)
pyatspi.Registry.start()
PY

# label, worker, "screen reader" or ""
measure() {
    local reader=""
    if [[ $3 ]]; then
        /usr/bin/python3 "$work/reader.py" >/dev/null 2>&1 &
        reader=$!
    fi
    echo "== $1${3:+, with a screen reader}"
    env VANTORY_WEB_WORKER="$2" ${3:+QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1} bash bench/measure_app.sh "$build" 60 sign-in
    env VANTORY_WEB_WORKER="$2" QT_QPA_PLATFORM=xcb ${3:+QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1} \
        "$build/bin/vantory-sync-bench" tests/fixtures/sites.py 3 2>/dev/null | grep '^run'
    [[ -z $reader ]] || kill "$reader"
}

for reader in "" "screen reader"; do
    measure "without the bridge" "$without" "$reader"
    measure "with the bridge" "$build/bin/vantory-web" "$reader"
done
