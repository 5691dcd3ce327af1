#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the running application costs while nothing happens: its CPU time and its wake-ups, with the
# line rotating among the nearest of 60 deadlines (the sample state file, default three slots).
#   bash bench/measure_idle.sh [build folder, default build/release] [seconds, default 300] [strip|gnome|both]
# strip: the strip under openbox on Xvfb, with a session bus. gnome: GNOME Shell 43 headless with
# Vantory's extension, which shows the line in the top bar while the strip stays hidden. both (the
# default): one, then the other. The sites point at a closed local port, so the start-up passes fail
# at once; the measurement starts once the web worker has quit and a few quiet seconds have passed.
# Prints the CPU time of the process and its children (utime + stime, /proc/PID/stat) and the
# context switches of all their threads (/proc/PID/task/*/status), each a wake-up, in total, per
# second and per thread. TRANSITION=none (or another effect) sets the line's transition first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-build/release}")
seconds=${2:-300}
case=${3:-both}
app=$build/bin/vantory
[[ -x $app ]] || { echo "no $app: build the release configuration first" >&2; exit 2; }

if [[ $case == both ]]; then
    bash "$0" "$build" "$seconds" strip
    bash "$0" "$build" "$seconds" gnome
    exit 0
fi

source "$root/scripts/virtual-desktop.sh"
[[ $case == gnome ]] && source "$root/scripts/gnome-session.sh"

# The process $1 and its live descendants.
tree() {
    echo "$1"
    local child
    for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do tree "$child"; done
}
# Clock ticks of CPU time of the tree $1, reaped children included.
cpu_ticks() {
    local total=0 pid
    for pid in $(tree "$1"); do
        total=$((total + $(awk '{print $14 + $15 + $16 + $17}' "/proc/$pid/stat" 2>/dev/null || echo 0)))
    done
    echo "$total"
}
# One line per thread of the tree $1: its id, its context switches and its name.
thread_switches() {
    local pid task
    for pid in $(tree "$1"); do
        for task in /proc/"$pid"/task/*; do
            awk -v tid="${task##*/}" '/^Name:/ {name = $2} /ctxt_switches/ {n += $2}
                END {if (name != "") print tid, n, name}' "$task/status" 2>/dev/null || true
        done
    done
}

mkdir -p "$work/data"
"$build/bin/vantory-sample" "$work/data" 60 >/dev/null
if [[ -n ${TRANSITION:-} ]]; then
    python3 - "$work/data/state.json" "$TRANSITION" <<'PY'
import json, sys
state = json.load(open(sys.argv[1]))
state["settings"]["transitionStyle"] = sys.argv[2]
json.dump(state, open(sys.argv[1], "w"))
PY
fi
export VANTORY_ASSESSMENT_URL=http://127.0.0.1:9 VANTORY_CANVAS_URL=http://127.0.0.1:9

if [[ $case == gnome ]]; then
    require "bash scripts/desktop-tests.sh gnome installs it" gnome-shell gdbus gsettings dbus-daemon
    uuid=vantory@vantory.app
    mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions"
    cp -r "$build/shell/gnome/legacy" "$XDG_DATA_HOME/gnome-shell/extensions/$uuid"
    start_gnome_shell "$uuid" || fail "GNOME Shell did not start"
    # The application chooses its platform itself, as in a student's session.
    start env -u QT_QPA_PLATFORM "$app" --data-dir "$work/data"
    label="GNOME Shell's top bar (the extension), strip hidden"
    within 20 shell_true '!!Main.panel.statusArea.vantory' || fail "the extension shows no line"
else
    require "bash scripts/setup.sh installs it" Xvfb openbox dbus-daemon xprop
    start dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus"
    within 10 test -S "$XDG_RUNTIME_DIR/bus" || fail "no session bus"
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
    start_display || fail "Xvfb did not start"
    start openbox
    await_window_manager || fail "openbox did not start"
    start "$app" --data-dir "$work/data"
    label="the strip under openbox"
fi
pid=${pids[-1]}

# Settled: the worker has quit (10 s after its last page), then five quiet seconds.
sleep 5
within 90 sh -c "! grep -q . /proc/$pid/task/*/children" || fail "the web worker did not quit"
sleep 5
kill -0 "$pid" || fail "vantory ended"

ticks_before=$(cpu_ticks "$pid")
thread_switches "$pid" >"$work/switches-before"
sleep "$seconds"
ticks_after=$(cpu_ticks "$pid")
thread_switches "$pid" >"$work/switches-after"
kill -0 "$pid" || fail "vantory ended during the measurement"

echo "$label, 60 deadlines, idle over $seconds s:"
awk -v t=$((ticks_after - ticks_before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN { printf "  CPU time %.2f s = %.3f %% of one core\n", t / hz, 100 * t / hz / s }'
# A thread that started during the measurement counts from zero, one that ended is lost.
awk -v s="$seconds" 'FNR == NR { before[$1] = $2; next }
    { n = $2 - before[$1]; total += n; by[$3] += n }
    END {
        printf "  wake-ups %d = %.2f per second; by thread:\n", total, total / s
        for (name in by) if (by[name] > 0) printf "    %-20s %6d  %6.2f/s\n", name, by[name], by[name] / s
    }' "$work/switches-before" "$work/switches-after"
