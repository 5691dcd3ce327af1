// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <coroutine>

#include "schedule/Scheduler.h"

namespace vantory {

// `co_await Sleep(scheduler, 0.5s)` resumes the coroutine after the delay, from the scheduler.
// Destroying a suspended coroutine cancels its wake-up, so a dropped coroutine is never resumed.
// Kept apart from Scheduler.h, since moc cannot parse the coroutine header.
class Sleep {
public:
    Sleep(Scheduler& scheduler, Scheduler::Duration delay)
        : scheduler_(scheduler)
        , delay_(delay)
    {
    }
    ~Sleep()
    {
        if (cookie_ != 0)
            scheduler_.cancel(cookie_);
    }

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> coroutine)
    {
        cookie_ = scheduler_.schedule(delay_, [this, coroutine] {
            cookie_ = 0;
            coroutine.resume();
        });
    }
    void await_resume() const noexcept { }

private:
    Scheduler& scheduler_;
    Scheduler::Duration delay_;
    Scheduler::Cookie cookie_ = 0;
};

} // namespace vantory
