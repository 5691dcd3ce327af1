// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Database.h"
#include "model/Instant.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// When to remind of deadlines: pure functions of the database and the time. A lead time of L
// minutes (Settings::reminderMinutes) falls due at the item's effective due date minus L, for the
// items the status line may show (Engine::upcomingView: enabled course, listed by the latest sync,
// neither done nor hidden, category not excluded) while the deadline still lies ahead.
// Database::reminders remembers per item the shortest lead shown and the due date it was shown
// for: leads of at least that length are spent for that date, another date re-arms every lead.
namespace vantory::Reminders {

struct Reminder {
    std::string itemID;
    Instant due{}; // the effective due date announced
    std::int64_t minutes = 0; // the lead time
    bool last = false; // the shortest lead chosen: nothing follows before the deadline

    bool operator==(const Reminder&) const = default;
};

// The reminders to show at now, at most one per item, nearest deadline first. When several leads
// of an item have fallen due unannounced (the application was not running, the deadline moved
// nearer, a lead was just chosen), only the shortest of them shows, and the longer ones are spent
// with it: the student hears once, with the time that is actually left.
std::vector<Reminder> due(const Database& db, Instant now);

// The earliest instant after now at which due() has a reminder that it does not have at now;
// none while no lead lies ahead.
std::optional<Instant> next(const Database& db, Instant now);

// Records a reminder as shown, then drops the records of ids no longer stored and of due dates
// that have passed; the field becomes absent when nothing is left.
void markShown(Database& db, const Reminder& reminder, Instant now);

} // namespace vantory::Reminders
