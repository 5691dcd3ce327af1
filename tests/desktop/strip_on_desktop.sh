#!/usr/bin/env bash
# The status strip and tray icon under a real EWMH window manager (openbox), panel (tint2) and
# XEmbed tray (trayer) on a private virtual display: strip_on_desktop.sh <vantory binary>
set -euo pipefail
app=$(realpath "$1")

for tool in Xvfb openbox tint2 trayer xprop xwininfo xdotool wmctrl xmessage; do
    command -v "$tool" >/dev/null || { echo "missing $tool (bash scripts/setup.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    tail -n 30 "$work/log" >&2
    exit 1
}
# Runs "$@" every 0.1 s until it succeeds, for at most $1 seconds.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}
start() { "$@" >>"$work/log" 2>&1 & pids+=($!); }

# A fresh home, so no setting of the machine's user leaks in, and no session bus.
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run DBUS_SESSION_BUS_ADDRESS=disabled:
export QT_QPA_PLATFORM=xcb ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0
unset WAYLAND_DISPLAY

# Xvfb picks a free display number itself and writes it once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" >>"$work/log" 2>&1 &
pids+=($!)
within 10 grep -q '[0-9]' "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")
start openbox
within 10 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q \"window id\"" || fail "openbox did not start"

start "$app" --data-dir "$work/data"
strip_window() {
    local id
    for id in $(xdotool search --classname '^vantory$' 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DOCK && { echo "$id"; return 0; }
    done
    return 1
}
within 15 strip_window || fail "no dock window of Vantory"
strip=$(strip_window)
viewable() { xwininfo -id "$1" | grep -q 'Map State: IsViewable'; }
top_of() { xwininfo -id "$1" | awk '/Absolute upper-left Y/ {print $4}'; }
strut_top() { xprop -id "$strip" _NET_WM_STRUT_PARTIAL | awk -F'[=,]' '{gsub(/ /, "", $4); print $4}'; }
within 10 viewable "$strip" || fail "the strip is not shown: $(xwininfo -id "$strip")"

properties=$(xprop -id "$strip" _NET_WM_STATE _NET_WM_DESKTOP _NET_WM_STRUT_PARTIAL _NET_WM_STRUT)
grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$properties" || fail "not skip-taskbar: $properties"
grep -q _NET_WM_STATE_SKIP_PAGER <<<"$properties" || fail "not skip-pager: $properties"
# Openbox keeps stickiness as the all-desktops number rather than as a state.
grep -q -e '_NET_WM_DESKTOP(CARDINAL) = 4294967295' -e _NET_WM_STATE_STICKY <<<"$properties" ||
    fail "not on all desktops: $properties"
height=$(xwininfo -id "$strip" | awk '/Height:/ {print $2}')
left=$(xwininfo -id "$strip" | awk '/Absolute upper-left X/ {print $4}')
width=$(xwininfo -id "$strip" | awk '/Width:/ {print $2}')
[[ $(top_of "$strip") == 0 ]] || fail "the strip is not at the top edge"
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

# A window that stays behind on its own desktop; the strip keeps its place meanwhile.
start xmessage -name vantoryprobe "a probe window"
within 10 xdotool search --classname vantoryprobe || fail "no probe window"
probe=$(xdotool search --classname vantoryprobe | head -n1)
below_panel || fail "the strip moved to $(top_of "$strip") after settling"

# Another desktop: the probe goes, the strip stays.
wmctrl -s 1
within 5 sh -c "xprop -root _NET_CURRENT_DESKTOP | grep -q '= 1$'" || fail "the desktop did not change"
within 5 sh -c "! xwininfo -id $probe | grep -q IsViewable" || fail "the probe is still shown on desktop 1"
viewable "$strip" || fail "the strip vanished on desktop 1"

# The strip never takes focus, yet its tooltip shows on hover.
tooltip_shown() {
    local id
    for id in $(xdotool search --onlyvisible --classname '^vantory$' 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP && return 0
    done
    return 1
}
xdotool mousemove $((left + width / 2)) $((30 + height / 2))
within 5 tooltip_shown || fail "no tooltip on hover"
xdotool mousemove 10 400

# The tray starts after Vantory, as at a login with autostart: the icon appears in it.
start trayer --edge bottom --align right --widthtype request --height 24
icon_in_tray() {
    local id
    for id in $(xdotool search --class '^trayer$' 2>/dev/null); do
        xwininfo -tree -id "$id" | grep -q '("vantory" "Vantory")' && return 0
    done
    return 1
}
within 10 icon_in_tray || fail "no tray icon after the tray started"
trayer_pid=${pids[-1]}

# Tray-only, asked from a second launch: the strip goes while the tray exists, comes back when
# the tray goes, and the choice outlives the process.
"$app" --data-dir "$work/data" --tray-only || fail "the hand-over failed"
within 5 sh -c "! xwininfo -id $strip | grep -q IsViewable" || fail "the strip still shows in tray-only mode"
kill "$trayer_pid"
within 5 viewable "$strip" || fail "no strip after the tray went away in tray-only mode"
grep -q 'trayOnly=true' "$XDG_CONFIG_HOME/Vantory/Vantory.conf" || fail "tray-only was not remembered"
echo "ok"
