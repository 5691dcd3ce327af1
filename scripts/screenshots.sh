#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screenshots of the status strip for the docs, on a virtual display with a real window manager
# (openbox), a top panel with its tray (tint2) and a maximised window under the strip, on a light
# and on a dark desktop:
#   bash scripts/screenshots.sh [build folder, default build/release]
# Writes docs/screenshots/strip-light.png, strip-dark.png, strip-truncated.png, and the strip at 1.5
# times the line's default size, strip-large-light.png and strip-large-dark.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
app=$build/bin/vantory
sample=$build/bin/vantory-sample
out=docs/screenshots

source scripts/virtual-desktop.sh

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
import os
for name, changes in [("narrow", dict(statusWidthMode="fixed", statusWidth=170)), ("large", dict(statusFontSize=18))]:
    os.makedirs(os.path.join(os.path.dirname(path), name))
    variant = dict(state, settings=dict(state["settings"], **changes))
    json.dump(variant, open(os.path.join(os.path.dirname(path), name, "state.json"), "w"), ensure_ascii=False)
PY

shoot() { # name, state folder, desktop colour, panel colour, panel text colour
    start_display
    within 10 xsetroot -solid "$3"
    start openbox
    await_window_manager
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
    start tint2 -c "$work/tint2rc"
    start "$app" --data-dir "$2"
    start xmessage -name maximised -geometry 600x300+100+100 "A maximised window: its title bar starts below the strip."
    within 10 xdotool search --classname '^maximised$'
    wmctrl -r maximised -b add,maximized_vert,maximized_horz
    # The strip below the panel, the tray icon in the panel, then a moment for the first paint.
    within 10 sh -c "xdotool search --classname '^vantory$' | xargs -n1 xwininfo -id | grep -q 'upper-left Y:  30'"
    sleep 1
    import -window root -crop 720x110+560+0 "$out/$1"
    stop_all
}

mkdir -p "$out"
shoot strip-light.png "$work/data" "#DCDCDC" "#F2F2F2" "#202020"
shoot strip-dark.png "$work/data" "#202124" "#2B2B2B" "#E8E8E8"
shoot strip-truncated.png "$work/data/narrow" "#DCDCDC" "#F2F2F2" "#202020"
shoot strip-large-light.png "$work/data/large" "#DCDCDC" "#F2F2F2" "#202020"
shoot strip-large-dark.png "$work/data/large" "#202124" "#2B2B2B" "#E8E8E8"
echo "wrote $out/strip-light.png, strip-dark.png, strip-truncated.png, strip-large-light.png, strip-large-dark.png"
