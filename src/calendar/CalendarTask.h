// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calendar/ICalendar.h"
#include "model/Assessment.h"
#include "model/Instant.h"
#include "model/Settings.h"

#include <string>
#include <string_view>

// An item as a task (VTODO) on the student's calendar server, and the marks a task carries back.
// Our own fields come from the item, the settings and the student's marks; everything else a task
// holds (another program's note, priority, categories, properties and alarms) is kept as it is.
// The marks travel as properties of our own with their change times, so a second computer reads
// them; STATUS is the one mark other programs change.
namespace vantory::CalendarTask {

// The done mark we last wrote, so a STATUS another program changed can be told from ours.
inline constexpr std::string_view doneProperty = "X-VANTORY-DONE";
inline constexpr std::string_view hiddenProperty = "X-VANTORY-HIDDEN";
// The date set by hand, empty when it was removed.
inline constexpr std::string_view dueProperty = "X-VANTORY-DUE";
// Marks an alarm as ours, so ours are replaced and nobody else's.
inline constexpr std::string_view alarmProperty = "X-VANTORY-ALARM";
// The parameter holding a mark's change time.
inline constexpr std::string_view changedParameter = "CHANGED";

struct Task {
    ICalendar::Component calendar; // the VCALENDAR resource holding the one VTODO
    bool changed = false; // whether it differs from the existing one in more than its time stamps
};

// The task resource for the item with these marks, built on existing (the server's) when given:
// only our fields change, and DTSTAMP, LAST-MODIFIED and SEQUENCE move only when something did.
Task build(const Assessment& item, const Settings& settings, const UserOverride& marks, Instant now,
    const ICalendar::Component* existing = nullptr);

// The marks the task carries with their change times. A STATUS that differs from our last done
// mark is another program's change, dated by its COMPLETED, LAST-MODIFIED or DTSTAMP.
UserOverride marks(const ICalendar::Component& calendar);

// A short digest of what build() writes of our own for these inputs, time stamps aside: equal
// digests mean there is nothing new to send.
std::string digest(const Assessment& item, const Settings& settings, const UserOverride& marks);

} // namespace vantory::CalendarTask
