#!/usr/bin/env bash
# Measures the running application on a virtual X display: time to the first line drawn (five
# runs, 1,000-item state file), then CPU time and resident memory while idle, once with the
# default three rotating slots (a transition every few seconds) and once with one slot (no
# transition at all: only the minute countdown).
#   bash bench/measure_app.sh [build folder, default build/release] [idle seconds, default 300]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
idle_seconds=${2:-300}

work=$(mktemp -d)
export DISPLAY=:77
Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1

"$build/bin/vantory-sample" "$work/rotating" 1000 >/dev/null
"$build/bin/vantory-sample" "$work/single" 1000 >/dev/null
python3 - "$work/single/state.json" <<'PY'
import json, sys
path = sys.argv[1]
state = json.load(open(path))
state["settings"]["durations"] = [10]
json.dump(state, open(path, "w"), indent=2, sort_keys=True)
PY

echo "start-up, 1,000 items:"
for run in 1 2 3 4 5; do
    "$build/bench/vantory-startup-bench" "$work/rotating" 2>/dev/null
done

measure_idle() { # label, state folder
    "$build/bin/vantory" --data-dir "$2" 2>/dev/null &
    local app=$!
    sleep 5
    local before after
    before=$(awk '{print $14 + $15}' "/proc/$app/stat")
    sleep "$idle_seconds"
    after=$(awk '{print $14 + $15}' "/proc/$app/stat")
    local rss
    rss=$(awk '/VmRSS/ {print $2, $3}' "/proc/$app/status")
    kill "$app"
    wait "$app" 2>/dev/null || true
    awk -v label="$1" -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$idle_seconds" -v rss="$rss" \
        'BEGIN { printf "%s: idle CPU over %d s %.2f s = %.3f %% of one core; resident memory %s\n", label, s, t / hz, 100 * t / hz / s, rss }'
}
measure_idle "three rotating slots" "$work/rotating"
measure_idle "one slot, no transitions" "$work/single"
