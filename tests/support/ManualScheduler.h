#pragma once

#include <cstddef>
#include <map>
#include <utility>

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
    Cookie schedule(Duration delay, std::function<void()> action) override;
    void cancel(Cookie cookie) override;

    // Moves the clock forward by step, running each action that falls due on the way at its due
    // time (ties in the order they were scheduled), including actions those actions schedule.
    void advance(Duration step);
    // The clock jumps without running anything, as across a sleep of the machine.
    void jump(Duration step) { now_ += step; }
    std::size_t pending() const { return queue_.size(); }

private:
    using Key = std::pair<Instant, Cookie>;

    Instant now_;
    std::map<Key, std::function<void()>> queue_;
    std::map<Cookie, Instant> dueTimes_;
    Cookie nextCookie_ = 1;
};

} // namespace vantory::test
