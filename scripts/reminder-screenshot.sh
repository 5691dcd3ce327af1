#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A screenshot of deadline reminders as a real notification server (dunst) shows them, for the
# docs: three sample deadlines within a day, reminders at 1 day and 1 hour before, on a private
# virtual display and session bus:
#   bash scripts/reminder-screenshot.sh [build folder, default build/release]
# Installs dunst when missing; writes docs/screenshots/reminders-dunst.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
app=$(realpath "$build/bin/vantory")

source scripts/virtual-desktop.sh
install_missing dunst dbus-daemon openbox xvfb imagemagick fonts-noto-cjk
"$build/bin/vantory-sample" "$work/data" 60 >/dev/null
# The nearest sample deadline moves to 50 minutes from now.
python3 - "$work/data/state.json" <<'PY'
import json, sys, time
path = sys.argv[1]
state = json.load(open(path))
state["settings"]["reminderMinutes"] = [60, 1440]
item = state["assessments"][0]
item["due"] = time.time() - 978307200 + 50 * 60
state["overrides"].pop(item["id"], None)
json.dump(state, open(path, "w"), ensure_ascii=False, indent=2, sort_keys=True)
PY

start_display
start openbox
await_window_manager
cat >"$work/dunstrc" <<RC
[global]
font = Noto Sans CJK KR 11
origin = top-right
offset = 10x40
width = 420
format = "<b>%s</b>\n%b"
RC
{ read -r DBUS_SESSION_BUS_ADDRESS && read -r bus; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS
pids+=("$bus")
start dunst -config "$work/dunstrc"
start "$app" --data-dir "$work/data"
within 15 grep -q '"reminders"' "$work/data/state.json"
sleep 1
mkdir -p docs/screenshots
import -window root -crop 700x310+580+0 docs/screenshots/reminders-dunst.png
echo "wrote docs/screenshots/reminders-dunst.png"
