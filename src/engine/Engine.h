// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "model/Course.h"
#include "model/Database.h"
#include "model/Instant.h"
#include "model/Settings.h"
#include "model/Zone.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

// Pure computations over the database: time colours, merging and selection. One header for the
// engine's callers; the definitions live by topic in TimeColors.cpp, Merge.cpp and Selection.cpp.
namespace vantory::Engine {

// Colour of the status line's dot for the remaining time in seconds (negative when overdue).
std::string dotHex(double seconds, const Settings& settings);

// Colour of the remaining-time text for the remaining time in seconds.
std::string hex(double seconds, const Settings& settings);

// One scraped row of a course page as a stored item; unreadable parts become a deadline
// status or absent values, never a failure. The availability text is read in zone, the school's.
Assessment assessment(const RawAssessment& raw, const Course& course, Instant now, const Zone& zone);

// Replaces the items of course courseID with fresh ones: rows whose dates did not parse keep
// the stored due date, stored items the sync no longer lists are marked missing (never
// deleted) and every other course's items stay as they are. Fresh items of another course,
// or whose id another course's item holds, are ignored. Keeps db.assessments unique and
// sorted by id in code-point order and records db.lastSync[courseID].
void merge(std::vector<Assessment> fresh, const std::string& courseID, Database& db, Instant now);

// The user's own due date when set, else the site's.
std::optional<Instant> due(const Assessment& item, const Database& db);

// Whether the site itself shows the item finished: submitted, or an assessment-site score of
// at least 100 percent.
bool autoCompleted(const Assessment& item);

// Completed by the user or by the site; an override cannot undo the site's completion.
bool done(const Assessment& item, const Database& db);

// "마지막 업데이트 M/d HH:mm" in the settings' zone for the oldest last sync among the enabled
// courses, or the text for none yet.
std::string lastUpdateText(const Database& db);

// Items that may appear among the status line's deadlines (enabled course, listed by the latest
// sync, neither hidden nor done, category not excluded) whose effective due date lies strictly
// after now, nearest first, at most limit of them. Pointers into db.assessments, valid until the
// database next changes: a caller that keeps items copies just those, since copying thousands of
// items costs several times selecting them.
std::vector<const Assessment*> upcomingView(
    const Database& db, Instant now, std::size_t limit = std::numeric_limits<std::size_t>::max());

// The dashboard order: dated, then release-only, then undated items, each group ordered by
// the settings' listSort key, then date, title and id. Pointers, as upcomingView gives them: only
// the keys are sorted, and a caller copies the items it keeps in their final order.
std::vector<const Assessment*> sortedList(const std::vector<const Assessment*>& items, const Database& db);

// Where a rotation of count items stands after elapsed seconds, each item showing for its
// duration in seconds (at least 1): the showing item and the seconds until its slot ends.
struct RotationSlot {
    std::int64_t index = 0; // 0 when there is nothing to rotate
    double secondsLeft = 0;
};
RotationSlot rotationSlot(double elapsed, std::int64_t count, const std::vector<double>& durations);

// Which of count rotating items shows after elapsed seconds.
inline std::int64_t rotationIndex(double elapsed, std::int64_t count, const std::vector<double>& durations)
{
    return rotationSlot(elapsed, count, durations).index;
}

} // namespace vantory::Engine
