// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caldav/CalDavClient.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QString>

#include <cstdint>

#include "calendarsync/CalendarPassword.h"
#include "schedule/Timer.h"

namespace vantory {

// The two-way sync of one Store with the task collection its settings name, for the whole run.
// It runs every minute, on the Store's syncCalendarServer hook (a refresh, a wake-up), a moment
// after a local change and when a site's sync ends; one run at a time, and a trigger during a run
// asks for one more. It also answers the Store's hooks for the calendar server's settings.
// The password comes from the desktop's secret store, read at start and when the settings change.
class CalendarServerSync {
    Q_DECLARE_TR_FUNCTIONS(CalendarServerSync)

public:
    CalendarServerSync(Store& store, Scheduler& scheduler, HttpLimits limits = {});
    CalendarServerSync(const CalendarServerSync&) = delete;
    CalendarServerSync& operator=(const CalendarServerSync&) = delete;
    ~CalendarServerSync();

    void syncSoon();
    bool running() const { return running_; }
    // The requests of every run so far.
    std::size_t requestsSent() const { return client_.requestsSent(); }

    static constexpr std::chrono::seconds interval{60};
    // Marks set in a row go out together.
    static constexpr std::chrono::seconds afterChange{2};

private:
    void observe(Store::Field field);
    void credentialsChanged();
    void keepPassword(const std::string& password, std::function<void(bool, std::string)> done);
    QCoro::Task<> loop();
    QCoro::Task<> runOnce();

    Store& store_;
    CalDavClient client_;
    CalendarPassword passwords_;
    Timer minute_;
    Timer debounce_;
    std::int64_t observer_;
    QString key_; // user@server the settings name, empty while they name none
    QString password_;
    std::size_t queued_ = 0;
    bool sitesSyncing_ = false;
    bool running_ = false;
    bool again_ = false;
    bool succeeded_ = false;
};

} // namespace vantory
