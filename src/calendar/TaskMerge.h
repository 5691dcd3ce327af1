// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calendar/ICalendar.h"
#include "model/Assessment.h"
#include "model/Instant.h"
#include "model/Settings.h"

#include <optional>

// The meeting of an item's local marks and its task on the calendar server.
namespace vantory::TaskMerge {

// Per mark (done, hidden, the date set by hand) the later change wins, compared in whole seconds,
// which is all the server keeps. A tie with different values goes the same way on every computer:
// done and hidden win over their absence, a date set by hand over none and the later over the
// earlier. A mark without a change time is older than any with one.
UserOverride marks(const UserOverride& local, const UserOverride& remote);

struct Result {
    UserOverride marks; // what to store locally
    bool marksChanged = false; // whether that differs from the local marks
    std::optional<ICalendar::Component> write; // the task to send; none when the server's says it all
};

// The item's local marks merged with the server's task. The sites' fields (title, due date, URL…)
// always come from the item; an item the site shows finished stays done whatever the task says.
Result merge(const Assessment& item, const Settings& settings, const UserOverride& local,
    const ICalendar::Component& server, Instant now);

} // namespace vantory::TaskMerge
