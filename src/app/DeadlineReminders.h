// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Notifier.h"
#include "engine/Reminders.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "schedule/Timer.h"

namespace vantory {

class Store;

// Desktop notifications of coming deadlines at the lead times the settings choose
// (engine/Reminders). Evaluates on every change of the database and when its one timer reaches the
// next lead; a clock that jumped past that lead (a machine that slept) is caught at the Store's next
// clock tick. A reminder replaces this run's earlier notification of the same item and is recorded
// in the database, so a restart does not repeat it, once the service has shown it; one the service
// could not show stays unrecorded and is tried again at the next evaluation or when a service
// appears. The notification's actions open the item's page and mark it done through the Store.
// The store and the scheduler must outlive it.
class DeadlineReminders : public QObject {
    Q_OBJECT

public:
    DeadlineReminders(
        Store& store, Scheduler& scheduler, std::unique_ptr<Notifier> notifier, QObject* parent = nullptr);
    ~DeadlineReminders() override;

    // Shows the reminders due now and arms the timer for the next one.
    void evaluate();
    // Notifications asked for whose answer has not come yet.
    std::size_t awaiting() const { return awaiting_.size(); }

private:
    void show(const Reminders::Reminder& reminder, Instant now);
    void act(std::uint32_t id, const QString& action);
    void forget(std::uint32_t id);

    Store& store_;
    Scheduler& scheduler_;
    std::unique_ptr<Notifier> notifier_;
    Timer timer_;
    std::int64_t observer_;
    std::optional<Instant> next_;
    std::set<std::string> awaiting_; // items whose notification awaits the service's answer
    bool skipped_ = false; // the last evaluation passed over an item awaiting its answer
    std::map<std::string, std::uint32_t> notifications_; // item id → the service's id, this run
};

} // namespace vantory
