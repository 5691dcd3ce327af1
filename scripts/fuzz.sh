#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer harnesses of tests/fuzz with clang in build/fuzz and runs each in turn.
#   bash scripts/fuzz.sh [minutes]   each harness for that many minutes (default 1), its corpus
#                                    growing in build/fuzz/corpus/<harness>
#   bash scripts/fuzz.sh --check     each harness for a few seconds from its seeds (the regression check)
# Crashing inputs land in build/fuzz/findings/<harness>/; the script fails when there is any.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
minutes=1
if [[ ${1:-} == --check ]]; then
    check=1
elif [[ -n ${1:-} ]]; then
    minutes=$1
fi
seconds=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')
((check)) && seconds=5

build=build/fuzz
harnesses=(fuzz_state_file fuzz_page_json fuzz_ical fuzz_task fuzz_dates)
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORY_FUZZ=ON -DVANTORY_WERROR=ON \
    -DBUILD_TESTING=OFF -DVANTORY_BUILD_BENCHMARKS=OFF -DVANTORY_BUILD_APP=OFF >/dev/null
# The worker protocol and calendar server harnesses exist only where Qt Core was found.
if grep -q '^build bin/fuzz_worker_protocol:' "$build/build.ninja"; then
    harnesses+=(fuzz_worker_protocol fuzz_multistatus)
fi
cmake --build "$build" -j2 --target "${harnesses[@]}"

export ASAN_OPTIONS=abort_on_error=0:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
findings=0
for harness in "${harnesses[@]}"; do
    seeds=tests/fuzz/corpus/$harness
    artifacts=$build/findings/$harness
    mkdir -p "$artifacts"
    if ((check)); then
        corpus=$(mktemp -d)
    else
        corpus=$build/corpus/$harness
        mkdir -p "$corpus"
    fi
    log=$build/$harness.log
    status=0
    dictionary=tests/fuzz/json.dict
    [[ -f tests/fuzz/$harness.dict ]] && dictionary=tests/fuzz/$harness.dict
    "$build/bin/$harness" "$corpus" "$seeds" -dict="$dictionary" -max_len=300000 -timeout=20 \
        -rss_limit_mb=4096 -max_total_time="$seconds" -artifact_prefix="$artifacts/" -print_final_stats=1 \
        >"$log" 2>&1 || status=$?
    ((check)) && rm -rf "$corpus"
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if ((status)); then
        findings=$((findings + 1))
        echo "$harness: FINDING after ${runs:-?} executions (exit $status); see $log and $artifacts/"
        grep -m 3 -E 'ERROR|runtime error|deadly signal' "$log" || true
    else
        echo "$harness: ${runs:-?} executions in ${seconds} s, no findings"
    fi
done
exit $((findings > 0))
