// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/Timer.h"

#include <algorithm>

namespace vantory {

Timer::Timer(Scheduler& scheduler, std::function<void()> action)
    : scheduler_(scheduler)
    , action_(std::move(action))
{
}

Timer::~Timer()
{
    stop();
}

void Timer::start(Scheduler::Duration delay)
{
    stop();
    arm(delay);
}

void Timer::startRepeating(Scheduler::Duration interval)
{
    stop();
    interval_ = interval;
    arm(interval);
}

void Timer::stop()
{
    if (cookie_ != 0)
        scheduler_.cancel(cookie_);
    cookie_ = 0;
    interval_.reset();
}

Scheduler::Duration Timer::remaining() const
{
    if (!isActive())
        return Scheduler::Duration::zero();
    return std::max(due_ - scheduler_.now(), Scheduler::Duration::zero());
}

void Timer::arm(Scheduler::Duration delay)
{
    due_ = scheduler_.now() + delay;
    cookie_ = scheduler_.schedule(delay, [this] {
        cookie_ = 0;
        // Re-armed before the action runs, so the action may stop or restart the timer.
        if (interval_)
            arm(*interval_);
        action_();
    });
}

} // namespace vantory
