// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/CalendarTask.h"
#include "calendar/ICalendar.h"
#include "calendar/TaskMerge.h"

#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Components and properties of the tree: what our task adds may take a full tree past the limits.
std::size_t parts(const vantory::ICalendar::Component& component)
{
    std::size_t count = 1 + component.properties.size();
    for (const auto& child : component.components)
        count += parts(child);
    return count;
}

} // namespace

// A server's task text: read or refused, never a crash; what is read writes back to the same tree;
// our item merged into it writes a task that reads back with the merged marks.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantory;
    const std::optional<ICalendar::Component> server = ICalendar::parse({reinterpret_cast<const char*>(data), size});
    if (!server)
        return 0;
    check(ICalendar::parse(ICalendar::write(*server)) == server);

    const Instant now = instantFromSeconds(1764871200);
    const Assessment item{.id = "1:A", .courseID = "1", .title = "A", .category = "Quiz", .due = now};
    const Settings settings{.reminderMinutes = {{30, 1440}}, .calendarServerAlarms = true};
    const UserOverride local{.hidden = true, .hiddenChanged = now};
    const TaskMerge::Result merged = TaskMerge::merge(item, settings, local, *server, now);
    if (!merged.write)
        return 0;
    const std::string written = ICalendar::write(*merged.write);
    const std::optional<ICalendar::Component> back = ICalendar::parse(written);
    check(back.has_value() || written.size() > ICalendar::maxBytes || parts(*server) + 40 > ICalendar::maxComponents);
    if (back) {
        const UserOverride read = CalendarTask::marks(*back);
        check(read.completed == merged.marks.completed && read.hidden == merged.marks.hidden
            && read.due == merged.marks.due);
    }
    return 0;
}
