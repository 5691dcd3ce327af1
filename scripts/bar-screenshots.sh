#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screenshots of the line in other bars, for the docs: i3 with polybar at the top (vantory
# --bar=polybar) and i3bar with i3blocks at the bottom (vantory --bar=i3blocks), on a virtual display:
#   bash scripts/bar-screenshots.sh [build folder, default build/release]
# Installs polybar, i3 and i3blocks when missing; writes docs/screenshots/bar-polybar.png and
# bar-i3blocks.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
app=$(realpath "$build/bin/vantory")
out=docs/screenshots

source scripts/virtual-desktop.sh
install_missing polybar i3-wm i3blocks xvfb imagemagick fonts-noto-cjk
"$build/bin/vantory-sample" "$work/data" 60 >/dev/null

cat >"$work/i3blocks.conf" <<CONF
[vantory]
command=$app --bar=i3blocks --data-dir $work/data
interval=persist
format=json

[time]
command=date +%H:%M
interval=60
CONF
cat >"$work/i3.conf" <<CONF
# i3 config file (v4)
font pango:Noto Sans CJK KR 10
bar {
    position bottom
    status_command i3blocks -c $work/i3blocks.conf
}
CONF
cat >"$work/polybar.ini" <<CONF
[bar/top]
width = 100%
height = 28
background = #1d1f21
foreground = #e8e8e8
font-0 = Noto Sans CJK KR:size=11;3
padding = 2
module-margin = 2
modules-left = workspaces
modules-right = vantory time
[module/workspaces]
type = internal/xworkspaces
[module/vantory]
type = custom/script
exec = $app --bar=polybar --data-dir $work/data
tail = true
[module/time]
type = internal/date
date = %H:%M
CONF

start_display
start i3 -c "$work/i3.conf"
await_window_manager
start polybar -q -c "$work/polybar.ini" top
within 10 xdotool search --class '^polybar$'
within 10 xdotool search --class '^i3bar$'
sleep 2
mkdir -p "$out"
import -window root -crop 560x28+720+0 "$out/bar-polybar.png"
import -window root -crop 560x24+720+776 "$out/bar-i3blocks.png"
echo "wrote $out/bar-polybar.png, bar-i3blocks.png"
