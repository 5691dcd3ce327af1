// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtScheduler.h"

#include <QTimer>

#include <cmath>
#include <limits>

namespace vantory {

namespace {

// Whole milliseconds, rounded up so an action never runs before its time; QTimer takes an int.
int milliseconds(Scheduler::Duration delay)
{
    const double ms = std::ceil(delay.count() * 1000);
    if (!(ms > 0)) // NaN too
        return 0;
    return ms < std::numeric_limits<int>::max() ? static_cast<int>(ms) : std::numeric_limits<int>::max();
}

} // namespace

QtScheduler::QtScheduler(QObject* parent)
    : QObject(parent)
{
}

QtScheduler::~QtScheduler() = default;

Instant QtScheduler::now() const
{
    return std::chrono::time_point_cast<Scheduler::Duration>(std::chrono::system_clock::now());
}

Scheduler::Cookie QtScheduler::schedule(Duration delay, std::function<void()> action)
{
    const Cookie cookie = nextCookie_++;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer.get(), &QTimer::timeout, this, [this, cookie, action = std::move(action)] {
        // The timer goes before the action runs, so the action may schedule and cancel freely.
        const auto found = timers_.find(cookie);
        if (found == timers_.end())
            return;
        found->second.release()->deleteLater();
        timers_.erase(found);
        action();
    });
    timer->start(milliseconds(delay));
    timers_.emplace(cookie, std::move(timer));
    return cookie;
}

void QtScheduler::cancel(Cookie cookie)
{
    timers_.erase(cookie);
}

} // namespace vantory
