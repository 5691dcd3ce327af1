#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sign-in window to a screen reader, on a real AT-SPI bus under Xvfb and openbox, against the
# fixture sites: a first launch opens it on the site's sign-in page, whose link, then the sign-in
# form's heading, labelled fields and button, must be on the bus with their names; the form is
# filled and sent through AT-SPI alone (signin_accessibility.py). Then Escape closes the window.
#   signin_accessibility.sh <vantory binary>
set -euo pipefail
app=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
# A session bus of its own, which the accessibility bus registers on.
if [[ -z ${DBUS_SESSION_BUS_ADDRESS:-} || $DBUS_SESSION_BUS_ADDRESS == disabled: ]]; then
    exec dbus-run-session -- bash "$0" "$@"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
source "$here/../../scripts/virtual-desktop.sh"
export DBUS_SESSION_BUS_ADDRESS=$bus
require "apt-get install xvfb openbox xdotool at-spi2-core" Xvfb openbox xdotool curl
[[ -x /usr/libexec/at-spi-bus-launcher ]] || fail "missing at-spi-bus-launcher (apt-get install at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "missing pyatspi (apt-get install python3-pyatspi)"

start_display || fail "Xvfb did not start"
start openbox
await_window_manager || fail "openbox did not start"
start /usr/libexec/at-spi-bus-launcher --launch-immediately
# Qt's bridge is on only while an assistive technology asks for it, or with this.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# The fixture sites stop when their input closes: descriptor 4 holds it open until the end.
mkfifo "$work/hold"
python3 "$here/../fixtures/sites.py" <"$work/hold" >"$work/sites" 2>>"$work/log" &
pids+=($!)
exec 4>"$work/hold"
within 10 grep -q . "$work/sites" || fail "the fixture sites did not start"
port=$(head -n1 "$work/sites")
curl -sf -X POST -H 'Content-Type: application/json' \
    --data '{"assessment": {"requireSignIn": true}, "canvas": {"requireSignIn": true}}' \
    "http://127.0.0.1:$port/__control" >/dev/null || fail "the fixture sites refused the scenario"

# A first launch (nothing stored) opens the assessment site's sign-in window.
VANTORY_ASSESSMENT_URL=http://127.0.0.1:$port VANTORY_CANVAS_URL=http://localhost:$port \
    start "$app" --data-dir "$work/data"
shown() { xdotool search --onlyvisible --name 'BrevaneLearn 로그인'; }
within 60 shown || fail "no sign-in window"

check "a screen reader finds the sign-in form and signs in through it" \
    /usr/bin/python3 "$here/signin_accessibility.py" student secret
xdotool windowactivate --sync "$(shown | head -n1)"
xdotool key Escape
check "Escape closes the sign-in window" within 10 eval '! shown'
echo "$passes passed, $failures failed"
((failures == 0))
