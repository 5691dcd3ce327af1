// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <map>

#include "schedule/Scheduler.h"

namespace vantory::test {

// A scheduler whose clock moves only when a test says so: timers and sleeps of the real code run
// in order, at their own times, within advance().
class ManualScheduler final : public Scheduler {
public:
    explicit ManualScheduler(Instant start)
        : now_(start)
    {
    }

    Instant now() const override { return now_; }
    Cookie schedule(Duration delay, std::function<void()> action) override
    {
        const Instant due = now_ + (delay.count() > 0 ? delay : Duration::zero()); // NaN counts as none
        queue_.emplace(std::pair(due, nextCookie_), std::move(action));
        return nextCookie_++;
    }
    void cancel(Cookie cookie) override
    {
        std::erase_if(queue_, [&](const auto& entry) { return entry.first.second == cookie; });
    }

    // Moves the clock by step, running each action falling due on the way (also those they schedule) at
    // its due time, ties in the order scheduled.
    void advance(Duration step)
    {
        const Instant target = now_ + step;
        while (!queue_.empty() && queue_.begin()->first.first <= target) {
            auto next = queue_.extract(queue_.begin());
            now_ = std::max(now_, next.key().first);
            next.mapped()();
        }
        now_ = std::max(now_, target);
    }
    // The clock jumps without running anything, as across a sleep of the machine.
    void jump(Duration step) { now_ += step; }
    std::size_t pending() const { return queue_.size(); }

private:
    Instant now_;
    std::map<std::pair<Instant, Cookie>, std::function<void()>> queue_;
    Cookie nextCookie_ = 1;
};

} // namespace vantory::test
