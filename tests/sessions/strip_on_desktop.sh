#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The status strip and tray icon under a real EWMH window manager (openbox), panel (tint2) and
# XEmbed tray (trayer) on a private virtual display: strip_on_desktop.sh <vantory binary>
set -euo pipefail
app=$(realpath "$1")

source "$(dirname "$0")/../../scripts/virtual-desktop.sh"
require "bash scripts/setup.sh installs it" Xvfb openbox tint2 trayer xprop xwininfo xdotool

start_display || fail "Xvfb did not start"
start openbox
await_window_manager || fail "openbox did not start"

start "$app" --data-dir "$work/data"
# Vantory's first window of type $1, among those xdotool's search finds with the options "${@:2}".
window_of_type() {
    local id
    for id in $(xdotool search "${@:2}" --classname '^vantory$' 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_$1" && { echo "$id"; return 0; }
    done
    return 1
}
within 15 window_of_type DOCK || fail "no dock window of Vantory"
strip=$(window_of_type DOCK)
# Windows come and go while these look (tooltips, tray icons): a vanished one is simply not a match.
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
top_of() { xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left Y/ {print $4}'; }
strut_top() { xprop -id "$strip" _NET_WM_STRUT_PARTIAL | awk -F'[=,]' '{gsub(/ /, "", $4); print $4}'; }
within 10 viewable "$strip" || fail "the strip is not shown: $(xwininfo -id "$strip")"

properties=$(xprop -id "$strip" _NET_WM_STATE _NET_WM_DESKTOP _NET_WM_STRUT_PARTIAL _NET_WM_STRUT)
[[ $properties == *_NET_WM_STATE_SKIP_TASKBAR*_NET_WM_STATE_SKIP_PAGER* ]] ||
    fail "not skip-taskbar and skip-pager: $properties"
# Openbox keeps stickiness as the all-desktops number rather than as a state.
grep -q -e '_NET_WM_DESKTOP(CARDINAL) = 4294967295' -e _NET_WM_STATE_STICKY <<<"$properties" ||
    fail "not on all desktops: $properties"
read -r left top width height < <(xwininfo -id "$strip" | awk '/Absolute upper-left X/ {x = $4}
    /Absolute upper-left Y/ {y = $4} /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}')
((top == 0)) || fail "the strip is not at the top edge"
expected="_NET_WM_STRUT_PARTIAL(CARDINAL) = 0, 0, $height, 0, 0, 0, 0, 0, $left, $((left + width - 1)), 0, 0"
grep -qF "$expected" <<<"$properties" || fail "strut: $properties, expected $expected"
grep -qF "_NET_WM_STRUT(CARDINAL) = 0, 0, $height, 0" <<<"$properties" || fail "plain strut: $properties"

# A top panel that starts later: the strip goes right below it and stays there, although its
# own reservation moves the work area's top edge too.
cat >"$work/tint2rc" <<'RC'
panel_items = T
panel_position = top center horizontal
panel_size = 100% 30
strut_policy = follow_size
RC
start tint2 -c "$work/tint2rc"
below_panel() { [[ $(top_of "$strip") == 30 && $(strut_top) == $((30 + height)) ]]; }
within 10 below_panel || fail "the strip is at $(top_of "$strip"), strut $(strut_top), not below the panel"

# The strip never takes focus, yet its tooltip shows on hover.
xdotool mousemove $((left + width / 2)) $((30 + height / 2))
within 5 window_of_type TOOLTIP --onlyvisible || fail "no tooltip on hover"

# A click opens the dashboard, a popup that grabs the pointer and keyboard: a click elsewhere and
# Escape close it.
dashboard_shown() { xdotool search --onlyvisible --name '^Vantory$' >/dev/null 2>&1; }
xdotool click 1
within 5 dashboard_shown || fail "no dashboard after a click on the strip"
xdotool mousemove 10 400 click 1
within 5 sh -c '! xdotool search --onlyvisible --name "^Vantory$"' || fail "a click elsewhere left the dashboard open"
xdotool mousemove $((left + width / 2)) $((30 + height / 2)) click 1
within 5 dashboard_shown || fail "no dashboard after another click on the strip"
xdotool key Escape
within 5 sh -c '! xdotool search --onlyvisible --name "^Vantory$"' || fail "Escape left the dashboard open"
xdotool mousemove 10 400

# The tray starts after Vantory, as at a login with autostart: the icon appears in it.
start trayer --edge bottom --align right --widthtype request --height 24
icon_in_tray() {
    local id
    for id in $(xdotool search --class '^trayer$' 2>/dev/null); do
        xwininfo -tree -id "$id" 2>/dev/null | grep -q '("vantory" "Vantory")' && return 0
    done
    return 1
}
within 10 icon_in_tray || fail "no tray icon after the tray started"
trayer_pid=${pids[-1]}

# Tray-only, asked from a second launch: the strip goes while the tray exists, comes back when
# the tray goes, and the choice outlives the process.
"$app" --data-dir "$work/data" --tray-only || fail "the hand-over failed"
within 5 sh -c "! xwininfo -id $strip 2>/dev/null | grep -q IsViewable" || fail "the strip still shows in tray-only mode"
kill "$trayer_pid"
within 5 viewable "$strip" || fail "no strip after the tray went away in tray-only mode"
grep -q 'trayOnly=true' "$XDG_CONFIG_HOME/Vantory/Vantory.conf" || fail "tray-only was not remembered"
echo "ok"
