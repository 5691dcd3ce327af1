#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Vantory with its sites where nothing answers, as a student who mistyped them sees it, on a virtual
# display with openbox: a closed local port and a host that does not exist. Checks that the line's
# tooltip on the session bus gives the reason, and pictures the sign-in window:
#   bash scripts/failure-screenshots.sh [build folder, default build/release]
# Writes docs/screenshots/signin-refused-light.png and signin-notfound-light.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
out=docs/screenshots
if [[ -z ${DBUS_SESSION_BUS_ADDRESS:-} || $DBUS_SESSION_BUS_ADDRESS == disabled: ]]; then
    exec dbus-run-session -- bash "$0" "$@"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
source scripts/virtual-desktop.sh
export DBUS_SESSION_BUS_ADDRESS=$bus
require "apt-get install xdotool imagemagick openbox" xdotool import openbox Xvfb gdbus

tooltip() {
    gdbus call --session --dest app.vantory.Vantory --object-path /app/vantory/Vantory \
        --method org.freedesktop.DBus.Properties.Get app.vantory.Vantory1 ToolTip
}
closed_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

shoot() { # name, address, the reason expected
    start_display || fail "no display"
    start openbox
    await_window_manager || fail "no window manager"
    VANTORY_ASSESSMENT_URL=$2 VANTORY_CANVAS_URL= start "$build/bin/vantory" --data-dir "$work/$1"
    # A first launch opens the sign-in; its page and the first pass fail at once.
    within 60 sh -c "xdotool search --name 'BrevaneLearn 로그인' | grep -q ." || fail "no sign-in window"
    check "$1: the tooltip says why" within 60 sh -c "$(declare -f tooltip); tooltip | grep -qF '$3'"
    sleep 2
    import -window "$(xdotool search --name 'BrevaneLearn 로그인' | head -n1)" "$out/signin-$1-light.png"
    stop_all
}

mkdir -p "$out"
shoot refused "http://127.0.0.1:$(closed_port)" "사이트가 연결을 거부했습니다 (오류 -102)"
shoot notfound "https://vantory-no-such-host.invalid" "사이트 주소를 찾을 수 없습니다 (오류 -105)"
echo "wrote $out/signin-refused-light.png, signin-notfound-light.png; $passes passed, $failures failed"
((failures == 0))
