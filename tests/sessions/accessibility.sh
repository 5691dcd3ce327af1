#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader hears from Vantory, on a real accessibility bus (at-spi2) under openbox on a
# private virtual display and session bus, driven from the keyboard as a blind student would:
#   accessibility.sh <vantory binary> <vantory-sample binary>
# accessibility.py holds the checks and prints what it measured: the idle chatter, where the focus
# goes after each action, the roles of the choice groups and of the windows.
set -euo pipefail
app=$(realpath "$1")
sample=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)

source "$here/../../scripts/virtual-desktop.sh"
require "packages at-spi2-core python3-pyatspi xdotool" xdotool gdbus
[[ -x /usr/libexec/at-spi-bus-launcher ]] || fail "missing at-spi-bus-launcher (package at-spi2-core)"
# Debian's interpreter, which has pyatspi, rather than another python3 on the path.
python=/usr/bin/python3
"$python" -c 'import pyatspi' 2>/dev/null || fail "missing pyatspi (package python3-pyatspi)"

# A session bus of this run's own: the accessibility bus is announced on it, and the application
# offers its windows there.
start dbus-daemon --config-file="$here/../qt/private-session-bus.conf" --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
within 10 gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.GetId || fail "the session bus did not start"
start_display || fail "Xvfb did not start"
start openbox
await_window_manager || fail "openbox did not start"
start /usr/libexec/at-spi-bus-launcher --launch-immediately
within 10 gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress ||
    fail "the accessibility bus did not start"

# Sample deadlines on a pretend school whose hosts never resolve: the launch's sync fails at once,
# and then only the line's rotation goes on until the test acts.
"$sample" "$work/data" 60 >/dev/null
start env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$app" --data-dir "$work/data" --show-calendar
tooltip() {
    gdbus call --session --dest app.vantory.Vantory --object-path /app/vantory/Vantory \
        --method org.freedesktop.DBus.Properties.Get app.vantory.Vantory1 ToolTip
}
# Both sites' failures, each with the web engine's error number, stand in the tooltip once the
# launch's sync is over.
within 60 eval '[[ $(tooltip | grep -o "(오류 -" | wc -l) -ge 2 ]]' || fail "the launch's sync did not end: $(tooltip)"

"$python" "$here/accessibility.py" || fail "accessibility checks failed"
echo "ok"
