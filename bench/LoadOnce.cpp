// SPDX-License-Identifier: GPL-3.0-or-later
// One load of a state file in a fresh process, as `vantory --bar --once` pays it on every call,
// first touches of memory and first uses of libraries included:
//   vantory-load-once <state file>   prints the load's wall time in microseconds.
#include "model/StateFile.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <state file>\n", argv[0]);
        return 2;
    }
    vantory::StateFile file(argv[1]);
    const auto start = std::chrono::steady_clock::now();
    const auto database = file.read();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (!database)
        return 1;
    std::printf("%.0f\n", std::chrono::duration<double, std::micro>(elapsed).count());
    return 0;
}
