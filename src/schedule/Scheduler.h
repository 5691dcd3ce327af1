// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace vantory {

// Where every timer and wait of the application goes: real Qt timers in the application, a manual
// clock in tests, so the real procedures run in milliseconds there and nothing sleeps. Main thread
// only.
class Scheduler {
public:
    using Duration = std::chrono::duration<double>; // seconds
    using Cookie = std::uint64_t;

    virtual ~Scheduler() = default;

    // The wall-clock time.
    virtual Instant now() const = 0;
    // Calls action once after delay (a negative or NaN delay counts as none). Cookies are never 0.
    virtual Cookie schedule(Duration delay, std::function<void()> action) = 0;
    // Drops an action that has not run yet; a spent or unknown cookie is ignored.
    virtual void cancel(Cookie cookie) = 0;
};

} // namespace vantory
