// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/TaskMerge.h"

#include "calendar/CalendarTask.h"
#include "engine/Engine.h"

#include <cmath>
#include <limits>

namespace vantory::TaskMerge {

namespace {

double wholeSeconds(const std::optional<Instant>& time)
{
    return time ? std::floor(secondsSince1970(*time)) : -std::numeric_limits<double>::infinity();
}

bool prefers(bool remote, bool)
{
    return remote;
}

bool prefers(const std::optional<Instant>& remote, const std::optional<Instant>& local)
{
    return remote && (!local || *remote > *local);
}

// One mark: the remote value and time replace the local ones when the remote change is later, or
// at the same second when the tie rule prefers its value.
template <typename Value>
void mergeMark(
    Value& value, std::optional<Instant>& time, const Value& remote, const std::optional<Instant>& remoteTime)
{
    const double local = wholeSeconds(time), other = wholeSeconds(remoteTime);
    if (other > local || (other == local && value != remote && prefers(remote, value))) {
        value = remote;
        time = remoteTime;
    }
}

} // namespace

UserOverride marks(const UserOverride& local, const UserOverride& remote)
{
    UserOverride merged = local;
    mergeMark(merged.completed, merged.completedChanged, remote.completed, remote.completedChanged);
    mergeMark(merged.hidden, merged.hiddenChanged, remote.hidden, remote.hiddenChanged);
    mergeMark(merged.due, merged.dueChanged, remote.due, remote.dueChanged);
    return merged;
}

Result merge(const Assessment& item, const Settings& settings, const UserOverride& local,
    const ICalendar::Component& server, Instant now)
{
    Result result{marks(local, CalendarTask::marks(server))};
    if (Engine::autoCompleted(item)) {
        // The task shows the site's completion; what it says of the done mark changes nothing here.
        result.marks.completed = local.completed;
        result.marks.completedChanged = local.completedChanged;
    }
    result.marksChanged = result.marks != local;
    CalendarTask::Task task = CalendarTask::build(item, settings, result.marks, now, &server);
    if (task.changed)
        result.write = std::move(task.calendar);
    return result;
}

} // namespace vantory::TaskMerge
