#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the debug configuration with AddressSanitizer and
# UndefinedBehaviorSanitizer and the release configuration that scripts/run.sh starts (benchmarks
# included, compiled but not run), then runs the whole test suite on the debug build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=build/debug
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTORY_SANITIZE=ON -DVANTORY_WERROR=ON -DVANTORY_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j2

# The options are scripts/run.sh's, so both scripts share this tree without reconfiguring it.
release=build/release
cmake -S . -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVANTORY_BUILD_BENCHMARKS=ON -DVANTORY_WERROR=ON
cmake --build "$release" -j2

export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export ASAN_OPTIONS=abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300

# The fuzz harnesses for a few seconds each from their seeds: a crash there fails the suite.
bash scripts/fuzz.sh --check
