#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the running application on a virtual X display: time to the first line drawn (five
# runs, 1,000-item state file), then CPU time, resident memory and the memory (PSS) of the whole
# process tree while idle, once with the default three rotating slots (a transition every few
# seconds) and once with one slot (no transition at all: only the minute countdown). The sites
# point at a closed local port, so the start-up passes fail at once and the web worker has quit
# (10 s after its last page) before idle is measured. Last, a first launch against the local fixture
# sites, which ask for a sign-in: the PSS of the whole tree, sampled every second for a minute while
# the login window shows, with each process of the tree at the peak.
#   bash bench/measure_app.sh [build folder, default build/release] [idle seconds, default 300] [sign-in]
# A third argument "sign-in" measures the first launch alone.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
idle_seconds=${2:-300}
only=${3:-}

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

# Proportional set size in KiB of a process and its descendants.
tree_pss() {
    local total
    total=$(awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0)
    for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do
        total=$((total + $(tree_pss "$child")))
    done
    echo "$total"
}

# One line per process of the tree: PSS in KiB and what it is (a Chromium process by its --type; a
# zygote's children keep its command line, and are the renderers).
tree_processes() { # pid, the parent's kind
    local pss kind
    pss=$(awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0)
    kind=$(tr '\0' '\n' <"/proc/$1/cmdline" 2>/dev/null | awk 'NR == 1 { n = split($0, p, "/"); name = p[n] }
        /^--type=/ { name = name " " substr($0, 8) } /^--utility-sub-type=/ { name = name " " substr($0, 20) }
        END { print name }')
    if [ "$kind" = "${2:-}" ] && [[ $kind == *zygote ]]; then
        echo "$pss renderer (forked by the zygote)"
    else
        echo "$pss $kind"
    fi
    for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do
        tree_processes "$child" "$kind"
    done
}

measure_sign_in() { # seconds
    local folder="$work/first" sites="$work/sites" hold="$work/hold"
    mkfifo "$hold"
    # The fixture sites stop when their input closes: descriptor 4 holds it open.
    python3 tests/fixtures/sites.py <"$hold" >"$sites" &
    exec 4>"$hold"
    local port=""
    while [ -z "$port" ]; do
        sleep 0.2
        port=$(head -n 1 "$sites")
    done
    curl -s -X POST -H 'Content-Type: application/json' \
        --data '{"assessment": {"requireSignIn": true}, "canvas": {"requireSignIn": true}}' \
        "http://127.0.0.1:$port/__control"
    VANTORY_ASSESSMENT_URL=http://127.0.0.1:$port VANTORY_CANVAS_URL=http://localhost:$port \
        "$build/bin/vantory" --data-dir "$folder" 2>/dev/null &
    local app=$! peak=0 least=0 pss second
    for second in $(seq "$1"); do
        sleep 1
        pss=$(tree_pss "$app")
        if [ "$pss" -gt "$peak" ]; then
            peak=$pss
            tree_processes "$app" >"$work/at-peak"
        fi
        if [ "$least" -eq 0 ] || [ "$pss" -lt "$least" ]; then least=$pss; fi
    done
    kill "$app"
    wait "$app" 2>/dev/null || true
    exec 4>&-
    echo "first launch, sign-in window open: PSS of the process tree over $1 s $((least / 1024))–$((peak / 1024)) MiB (peak $peak KiB); at the peak:"
    sort -rn "$work/at-peak" | awk '{ printf "  %7d KiB  %s\n", $1, substr($0, index($0, " ") + 1) }'
}

if [ "$only" = sign-in ]; then
    measure_sign_in 60
    exit 0
fi

echo "start-up, 1,000 items:"
for run in 1 2 3 4 5; do
    "$build/bin/vantory-startup-bench" "$work/rotating" 2>/dev/null
done

export VANTORY_ASSESSMENT_URL=http://127.0.0.1:9 VANTORY_CANVAS_URL=http://127.0.0.1:9


measure_idle() { # label, state folder
    "$build/bin/vantory" --data-dir "$2" 2>/dev/null &
    local app=$!
    sleep 25
    local before after
    before=$(awk '{print $14 + $15}' "/proc/$app/stat")
    sleep "$idle_seconds"
    after=$(awk '{print $14 + $15}' "/proc/$app/stat")
    local rss pss
    rss=$(awk '/VmRSS/ {print $2, $3}' "/proc/$app/status")
    pss=$(tree_pss "$app")
    kill "$app"
    wait "$app" 2>/dev/null || true
    awk -v label="$1" -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$idle_seconds" -v rss="$rss" -v pss="$pss" \
        'BEGIN { printf "%s: idle CPU over %d s %.2f s = %.3f %% of one core; resident memory %s; PSS of the process tree %d KiB\n", label, s, t / hz, 100 * t / hz / s, rss, pss }'
}
measure_idle "three rotating slots" "$work/rotating"
measure_idle "one slot, no transitions" "$work/single"
measure_sign_in 60
