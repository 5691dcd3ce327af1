#!/usr/bin/env bash
# Screenshots of the status strip for the docs, on a virtual display with a real window manager
# (openbox), a top panel with its tray (tint2) and a maximised window under the strip, on a light
# and on a dark desktop:
#   bash scripts/screenshots.sh [build folder, default build/release]
# Writes docs/screenshots/strip-light.png, strip-dark.png and strip-truncated.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
app=$build/bin/vantory
sample=$build/bin/vantory-sample
out=docs/screenshots

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
within() { # seconds, command...
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || { echo "timed out: $*" >&2; cat "$work"/*.log >&2; exit 1; }
        sleep 0.1
    done
}

mkdir -p "$work/run" && chmod 700 "$work/run"
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_RUNTIME_DIR=$work/run DBUS_SESSION_BUS_ADDRESS=disabled:
export QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0
unset WAYLAND_DISPLAY

# Sample deadlines around now with Korean course names, one display slot so that no transition
# is caught half-way.
"$sample" "$work/data" 60 >/dev/null
python3 - "$work/data/state.json" <<'PY'
import json, sys
path = sys.argv[1]
state = json.load(open(path))
names = ["알고리즘", "운영체제", "자료구조", "선형대수", "컴퓨터구조", "확률과 통계", "데이터베이스", "컴파일러"]
for course, name in zip(state["settings"]["courses"], names):
    course["name"] = name
state["settings"]["durations"] = [10]
state["settings"]["statusFontSize"] = 13
json.dump(state, open(path, "w"), ensure_ascii=False, indent=2, sort_keys=True)
narrow = dict(state, settings=dict(state["settings"], statusWidthMode="fixed", statusWidth=170))
import os
os.makedirs(os.path.join(os.path.dirname(path), "narrow"))
json.dump(narrow, open(os.path.join(os.path.dirname(path), "narrow", "state.json"), "w"), ensure_ascii=False)
PY

shoot() { # name, state folder, desktop colour, panel colour, panel text colour
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
    pids+=($!)
    within 10 grep -q '[0-9]' "$work/display"
    export DISPLAY=:$(head -n1 "$work/display")
    within 10 xsetroot -solid "$3"
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    within 10 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
    cat >"$work/tint2rc" <<RC
rounded = 0
border_width = 0
background_color = $4 100
border_color = $4 0
panel_items = TSC
panel_position = top center horizontal
panel_size = 100% 30
panel_background_id = 1
strut_policy = follow_size
taskbar_name = 0
task_text = 1
task_font_color = $5 100
task_active_background_id = 0
time1_format = %H:%M
clock_font_color = $5 100
systray_padding = 4 2 4
systray_icon_size = 22
RC
    tint2 -c "$work/tint2rc" >/dev/null 2>&1 &
    pids+=($!)
    "$app" --data-dir "$2" >/dev/null 2>&1 &
    pids+=($!)
    xmessage -name maximised -geometry 600x300+100+100 "A maximised window: its title bar starts below the strip." >/dev/null 2>&1 &
    pids+=($!)
    within 10 xdotool search --classname '^maximised$'
    wmctrl -r maximised -b add,maximized_vert,maximized_horz
    # The strip below the panel, the tray icon in the panel, then a moment for the first paint.
    within 10 sh -c "xdotool search --classname '^vantory$' | xargs -n1 xwininfo -id | grep -q 'upper-left Y:  30'"
    sleep 1
    import -window root -crop 720x110+560+0 "$out/$1"
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    pids=()
}

mkdir -p "$out"
shoot strip-light.png "$work/data" "#DCDCDC" "#F2F2F2" "#202020"
shoot strip-dark.png "$work/data" "#202124" "#2B2B2B" "#E8E8E8"
shoot strip-truncated.png "$work/data/narrow" "#DCDCDC" "#F2F2F2" "#202020"
echo "wrote $out/strip-light.png, strip-dark.png, strip-truncated.png"
