// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace vantory {

// An absolute point in time: seconds since 1970-01-01 00:00:00 UTC, with fraction.
using Instant = std::chrono::sys_time<std::chrono::duration<double>>;

// Seconds between the Unix epoch and 2001-01-01 00:00:00 UTC, the epoch of the state file.
inline constexpr double referenceEpochOffset = 978307200.0;

inline Instant instantFromSeconds(double secondsSince1970)
{
    return Instant{std::chrono::duration<double>{secondsSince1970}};
}

inline double secondsSince1970(Instant instant)
{
    return instant.time_since_epoch().count();
}

} // namespace vantory
