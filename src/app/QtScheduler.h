// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <map>
#include <memory>

#include "schedule/Scheduler.h"

class QTimer;

namespace vantory {

// The application's scheduler: the system clock and one precise single-shot QTimer per action.
// A QObject only to be the context of its timers' connections.
class QtScheduler final : public QObject, public Scheduler {
public:
    explicit QtScheduler(QObject* parent = nullptr);
    ~QtScheduler() override;

    Instant now() const override;
    Cookie schedule(Duration delay, std::function<void()> action) override;
    void cancel(Cookie cookie) override;

private:
    std::map<Cookie, std::unique_ptr<QTimer>> timers_;
    Cookie nextCookie_ = 1;
};

} // namespace vantory
