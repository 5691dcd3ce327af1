// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Reminders.h"

#include "engine/Engine.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_set>

namespace vantory::Reminders {

namespace {

constexpr std::int64_t none = std::numeric_limits<std::int64_t>::max();

Instant moment(Instant due, std::int64_t minutes)
{
    return due - std::chrono::duration<double>(static_cast<double>(minutes) * 60);
}

// Leads of this length or longer are spent for an item due at `due`; none are after another date.
std::int64_t spentFrom(const Database& db, const std::string& itemID, Instant due)
{
    if (!db.reminders)
        return none;
    const auto found = db.reminders->find(itemID);
    return found != db.reminders->end() && found->second.due == due ? found->second.minutes : none;
}

// Calls visit(item, due, lead) for every lead still armed for each item that may be announced.
template <typename Visit> void forEachArmedLead(const Database& db, Instant now, Visit visit)
{
    if (!db.settings.reminderMinutes)
        return;
    for (const Assessment* item : Engine::upcomingView(db, now)) {
        // Upcoming items always have an effective due date after now.
        const Instant due = Engine::due(*item, db).value_or(now);
        const std::int64_t spent = spentFrom(db, item->id, due);
        for (const std::int64_t lead : *db.settings.reminderMinutes) {
            if (lead > 0 && lead < spent)
                visit(*item, due, lead);
        }
    }
}

} // namespace

std::vector<Reminder> due(const Database& db, Instant now)
{
    std::vector<Reminder> reminders;
    if (!db.settings.reminderMinutes)
        return reminders;
    std::int64_t shortest = none;
    for (const std::int64_t lead : *db.settings.reminderMinutes) {
        if (lead > 0)
            shortest = std::min(shortest, lead);
    }
    // Items come nearest first and each one's leads together, so a reminder of the item being
    // visited is always the last one in the list.
    forEachArmedLead(db, now, [&](const Assessment& item, Instant due, std::int64_t lead) {
        if (moment(due, lead) > now)
            return;
        if (!reminders.empty() && reminders.back().itemID == item.id) {
            reminders.back().minutes = std::min(reminders.back().minutes, lead);
            reminders.back().last = reminders.back().minutes == shortest;
        } else {
            reminders.push_back({item.id, due, lead, lead == shortest});
        }
    });
    return reminders;
}

std::optional<Instant> next(const Database& db, Instant now)
{
    std::optional<Instant> earliest;
    forEachArmedLead(db, now, [&](const Assessment&, Instant due, std::int64_t lead) {
        if (const Instant at = moment(due, lead); at > now && (!earliest || at < *earliest))
            earliest = at;
    });
    return earliest;
}

void markShown(Database& db, const Reminder& reminder, Instant now)
{
    auto& records = db.reminders ? *db.reminders : db.reminders.emplace();
    const auto [found, added] = records.try_emplace(reminder.itemID, ShownReminder{reminder.due, reminder.minutes});
    if (!added) {
        ShownReminder& record = found->second;
        record.minutes = record.due == reminder.due ? std::min(record.minutes, reminder.minutes) : reminder.minutes;
        record.due = reminder.due;
    }

    std::unordered_set<std::string_view> stored;
    stored.reserve(db.assessments.size());
    for (const Assessment& item : db.assessments)
        stored.insert(item.id);
    std::erase_if(records, [&](const auto& entry) { return !stored.contains(entry.first) || entry.second.due <= now; });
    if (records.empty())
        db.reminders.reset();
}

} // namespace vantory::Reminders
