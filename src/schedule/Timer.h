// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include "schedule/Scheduler.h"

namespace vantory {

// A restartable one-shot or repeating timer on a Scheduler, stopped when destroyed. The scheduler
// must outlive it.
class Timer {
public:
    Timer(Scheduler& scheduler, std::function<void()> action);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    // (Re)starts: fires once after delay.
    void start(Scheduler::Duration delay);
    // (Re)starts: fires every interval until stopped.
    void startRepeating(Scheduler::Duration interval);
    void stop();

    bool isActive() const { return cookie_ != 0; }
    // Time until the next firing; zero when stopped.
    Scheduler::Duration remaining() const;

private:
    void arm(Scheduler::Duration delay);

    Scheduler& scheduler_;
    std::function<void()> action_;
    std::optional<Scheduler::Duration> interval_; // set while repeating
    Scheduler::Cookie cookie_ = 0;
    Instant due_{};
};

} // namespace vantory
