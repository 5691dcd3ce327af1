// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeadlineReminders.h"

#include "status/ReminderText.h"
#include "store/Store.h"

#include <algorithm>

namespace vantory {

namespace {

const Assessment* findItem(const Database& db, const std::string& id)
{
    const auto found = std::find_if(
        db.assessments.begin(), db.assessments.end(), [&](const Assessment& item) { return item.id == id; });
    return found != db.assessments.end() ? &*found : nullptr;
}

} // namespace

DeadlineReminders::DeadlineReminders(
    Store& store, Scheduler& scheduler, std::unique_ptr<Notifier> notifier, QObject* parent)
    : QObject(parent)
    , store_(store)
    , scheduler_(scheduler)
    , notifier_(std::move(notifier))
    , timer_(scheduler, [this] { evaluate(); })
{
    connect(notifier_.get(), &Notifier::actionInvoked, this, &DeadlineReminders::act);
    connect(notifier_.get(), &Notifier::closed, this, &DeadlineReminders::forget);
    connect(notifier_.get(), &Notifier::serviceChanged, this, [this] {
        notifications_.clear();
        evaluate();
    });
    observer_ = store_.observe([this](Store::Field field) {
        if (field == Store::Field::db || (field == Store::Field::now && next_ && scheduler_.now() >= *next_))
            evaluate();
    });
    evaluate();
}

DeadlineReminders::~DeadlineReminders()
{
    store_.unobserve(observer_);
}

void DeadlineReminders::evaluate()
{
    const Instant now = scheduler_.now();
    skipped_ = false;
    for (const Reminders::Reminder& reminder : Reminders::due(store_.db(), now)) {
        if (awaiting_.contains(reminder.itemID))
            skipped_ = true;
        else
            show(reminder, now);
    }
    next_ = Reminders::next(store_.db(), now);
    if (next_)
        timer_.start(*next_ - now);
    else
        timer_.stop();
}

void DeadlineReminders::show(const Reminders::Reminder& reminder, Instant now)
{
    const Assessment* item = findItem(store_.db(), reminder.itemID);
    if (!item)
        return;
    const ReminderText text = reminderText(*item, store_.db().settings, reminder.due, now);
    const auto earlier = notifications_.find(reminder.itemID);
    const Notifier::Notification notification{QString::fromStdString(text.summary), QString::fromStdString(text.body),
        reminder.last, earlier != notifications_.end() ? earlier->second : 0};
    awaiting_.insert(reminder.itemID);
    notifier_->show(notification, [this, reminder](std::optional<std::uint32_t> id) {
        awaiting_.erase(reminder.itemID);
        if (!id) {
            // Not retried at once, which could loop on a broken service; only what an evaluation
            // passed over meanwhile (a service that just appeared, say) is looked at again.
            if (skipped_ && awaiting_.empty())
                evaluate();
            return;
        }
        // An id of 0 is no notification the service will ever name again.
        if (*id != 0)
            notifications_[reminder.itemID] = *id;
        store_.update([&](Database& db) { Reminders::markShown(db, reminder, scheduler_.now()); });
    });
}

void DeadlineReminders::act(std::uint32_t id, const QString& action)
{
    const auto notification = std::find_if(
        notifications_.begin(), notifications_.end(), [id](const auto& entry) { return entry.second == id; });
    if (notification == notifications_.end())
        return;
    const Assessment* found = findItem(store_.db(), notification->first);
    if (!found)
        return;
    const Assessment item = *found; // the write below may replace the database's items
    if (action == QLatin1String(Notifier::openAction) || action == QLatin1String(Notifier::defaultAction))
        store_.open(item);
    else if (action == QLatin1String(Notifier::doneAction))
        store_.override(item, [](UserOverride& override) { override.completed = true; });
}

void DeadlineReminders::forget(std::uint32_t id)
{
    std::erase_if(notifications_, [id](const auto& entry) { return entry.second == id; });
}

} // namespace vantory
