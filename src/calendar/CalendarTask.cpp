// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/CalendarTask.h"

#include "calendar/CalendarFile.h"
#include "engine/Engine.h"
#include "model/Course.h"
#include "model/Sites.h"
#include "model/Wording.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace vantory::CalendarTask {

namespace {

using ICalendar::Component;
using ICalendar::Property;

// Properties that record when a task was written rather than what it says.
constexpr std::string_view stampProperties[] = {"DTSTAMP", "LAST-MODIFIED", "SEQUENCE"};

bool isTrue(std::string_view value)
{
    return ICalendar::same(value, "TRUE");
}

bool hasStatus(const Component& todo, std::string_view status)
{
    const Property* property = todo.property("STATUS");
    return property && ICalendar::same(property->value, status);
}

void set(Component& component, std::string_view name, std::string parameters, std::string value)
{
    auto& properties = component.properties;
    const auto found
        = std::find_if(properties.begin(), properties.end(), [&](const Property& p) { return p.name == name; });
    if (found == properties.end()) {
        properties.push_back({std::string(name), std::move(parameters), std::move(value)});
        return;
    }
    found->parameters = std::move(parameters);
    found->value = std::move(value);
    // A second one of a property that may appear once would say something else.
    properties.erase(std::remove_if(found + 1, properties.end(), [&](const Property& p) { return p.name == name; }),
        properties.end());
}

void remove(Component& component, std::string_view name)
{
    std::erase_if(component.properties, [&](const Property& p) { return p.name == name; });
}

std::string changedParameters(const std::optional<Instant>& changed)
{
    if (!changed)
        return {};
    std::string parameters = ";";
    parameters.append(changedParameter).append("=").append(CalendarFile::utcText(*changed));
    return parameters;
}

std::optional<Instant> changedTime(const Property& property)
{
    const std::optional<std::string> value = ICalendar::parameter(property, changedParameter);
    return value ? ICalendar::utcInstant(*value) : std::nullopt;
}

// The values of a comma-separated list as written, escapes kept.
std::vector<std::string> listValues(std::string_view value)
{
    std::vector<std::string> values(1);
    for (std::size_t index = 0; index < value.size(); ++index) {
        if (value[index] == ',') {
            values.emplace_back();
            continue;
        }
        values.back() += value[index];
        if (value[index] == '\\' && index + 1 < value.size())
            values.back() += value[++index];
    }
    return values;
}

// Ours (course and category) are added where missing and nothing is taken away: a tag another
// program added to the same list cannot be told from a course name we wrote before.
void addCategories(Component& todo, const std::vector<std::string>& ours)
{
    std::vector<std::string> present;
    for (const Property& property : todo.properties) {
        if (property.name == "CATEGORIES")
            std::ranges::move(listValues(property.value), std::back_inserter(present));
    }
    std::string missing;
    for (const std::string& category : ours) {
        if (!category.empty() && std::ranges::find(present, category) == present.end()) {
            missing += missing.empty() ? "" : ",";
            missing += category;
            present.push_back(category);
        }
    }
    if (missing.empty())
        return;
    if (Property* categories = todo.property("CATEGORIES"))
        categories->value += (categories->value.empty() ? "" : ",") + missing;
    else
        todo.properties.push_back({"CATEGORIES", "", missing});
}

void setAlarms(Component& todo, const Settings& settings, bool dated)
{
    std::vector<Component> alarms;
    if (settings.calendarServerAlarms == true && settings.reminderMinutes && dated) {
        for (const std::int64_t minutes : *settings.reminderMinutes) {
            const std::string lead = std::to_string(minutes);
            // Related to DUE: a task's alarm is otherwise related to its start.
            alarms.push_back({"VALARM",
                {{"TRIGGER", ";RELATED=END", "-PT" + lead + "M"}, {"ACTION", "", "DISPLAY"},
                    {"DESCRIPTION", "", CalendarFile::escape(wording().alarmDescription)},
                    {std::string(alarmProperty), "", lead}},
                {}});
        }
    }
    const auto ours = [](const Component& child) { return child.name == "VALARM" && child.property(alarmProperty); };
    std::vector<Component> present;
    std::ranges::copy_if(todo.components, std::back_inserter(present), ours);
    // Where they stand among other programs' alarms is no change.
    if (present == alarms)
        return;
    std::erase_if(todo.components, ours);
    std::ranges::move(alarms, std::back_inserter(todo.components));
}

// STATUS, COMPLETED and PERCENT-COMPLETE for the done mark; an item the sites no longer list is
// cancelled. A completion time already written stays, so rebuilding changes nothing.
void setStatus(Component& todo, const Assessment& item, const UserOverride& marks, bool done, Instant now)
{
    const bool wasCompleted = hasStatus(todo, "COMPLETED");
    const std::string status = item.missing ? "CANCELLED" : done ? "COMPLETED" : "NEEDS-ACTION";
    set(todo, "STATUS", "", status);
    if (status == "COMPLETED") {
        if (!wasCompleted || !todo.property("COMPLETED"))
            set(todo, "COMPLETED", "", CalendarFile::utcText(marks.completedChanged.value_or(now)));
        if (Property* percent = todo.property("PERCENT-COMPLETE"))
            percent->value = "100";
        return;
    }
    remove(todo, "COMPLETED");
    if (const Property* percent = todo.property("PERCENT-COMPLETE"); percent && percent->value == "100")
        remove(todo, "PERCENT-COMPLETE");
}

Component withoutStamps(Component todo, std::initializer_list<std::string_view> more = {})
{
    std::erase_if(todo.properties, [&](const Property& p) {
        return std::ranges::find(stampProperties, p.name) != std::end(stampProperties)
            || std::ranges::find(more, p.name) != more.end();
    });
    return todo;
}

// Moves the stamps of a task that changed; SEQUENCE counts the changes of its dates and status.
void stamp(Component& todo, const Component* before, Instant now)
{
    const std::string time = CalendarFile::utcText(now);
    set(todo, "DTSTAMP", "", time);
    set(todo, "LAST-MODIFIED", "", time);
    if (!before)
        return;
    const auto same = [&](std::string_view name) {
        const Property *old = before->property(name), *current = todo.property(name);
        return old == current || (old && current && *old == *current);
    };
    if (same("DUE") && same("DTSTART") && same("STATUS"))
        return;
    std::int64_t sequence = 0;
    if (const Property* old = todo.property("SEQUENCE")) {
        const auto [end, error] = std::from_chars(old->value.data(), old->value.data() + old->value.size(), sequence);
        if (error != std::errc{} || end != old->value.data() + old->value.size() || sequence < 0
            || sequence == INT64_MAX)
            sequence = 0;
    }
    set(todo, "SEQUENCE", "", std::to_string(sequence + 1));
}

} // namespace

Task build(
    const Assessment& item, const Settings& settings, const UserOverride& marks, Instant now, const Component* existing)
{
    Task task{existing
            ? *existing
            : Component{"VCALENDAR", {{"VERSION", "", "2.0"}, {"PRODID", "", "-//Vantory//Deadlines//KO"}}, {}}};
    Component* todo = task.calendar.component("VTODO");
    const std::optional<Component> before = todo ? std::optional(*todo) : std::nullopt;
    if (!todo)
        todo = &task.calendar.components.emplace_back(Component{"VTODO", {{"UID", "", ""}}, {}});

    set(*todo, "UID", "", CalendarFile::uid(item.id));
    const std::string course = CalendarFile::escape(settings.courseName(item.courseID));
    set(*todo, "SUMMARY", "", course + " | " + CalendarFile::escape(item.title));
    const std::optional<Instant> due = marks.due ? marks.due : item.due;
    const bool dated = due && CalendarFile::isWritable(*due);
    if (dated)
        set(*todo, "DUE", "", CalendarFile::utcText(*due));
    else
        remove(*todo, "DUE");
    // A start at or after the due date would make the task invalid.
    if (item.release && CalendarFile::isWritable(*item.release) && (!dated || *item.release < *due))
        set(*todo, "DTSTART", "", CalendarFile::utcText(*item.release));
    else
        remove(*todo, "DTSTART");
    if (item.url && Sites::current().isSiteURL(*item.url))
        set(*todo, "URL", "", *item.url);
    else
        remove(*todo, "URL");
    addCategories(*todo, {course, CalendarFile::escape(item.category)});
    // Task programs show DESCRIPTION as the task's note, which the student may write in: it is ours
    // only until the task has one.
    if (!todo->property("DESCRIPTION")) {
        const Course* known = settings.course(item.courseID);
        const std::string source = known ? known->sourceName() : std::string("BrevaneLearn");
        set(*todo, "DESCRIPTION", "",
            CalendarFile::escape(source + " · " + item.category + (item.url ? "\n" + *item.url : "")));
    }

    const bool done = marks.completed || Engine::autoCompleted(item);
    setStatus(*todo, item, marks, done, now);
    set(*todo, doneProperty, changedParameters(marks.completedChanged), done ? "TRUE" : "FALSE");
    if (marks.hidden || marks.hiddenChanged)
        set(*todo, hiddenProperty, changedParameters(marks.hiddenChanged), marks.hidden ? "TRUE" : "FALSE");
    if (marks.due || marks.dueChanged) {
        const bool writable = marks.due && CalendarFile::isWritable(*marks.due);
        set(*todo, dueProperty, changedParameters(marks.dueChanged),
            writable ? CalendarFile::utcText(*marks.due) : std::string());
    }
    setAlarms(*todo, settings, dated);

    task.changed = !before || withoutStamps(*before) != withoutStamps(*todo);
    if (task.changed)
        stamp(*todo, before ? &*before : nullptr, now);
    return task;
}

UserOverride marks(const Component& calendar)
{
    UserOverride result;
    const Component* todo = calendar.component("VTODO");
    if (!todo)
        return result;
    if (const Property* hidden = todo->property(hiddenProperty)) {
        result.hidden = isTrue(hidden->value);
        result.hiddenChanged = changedTime(*hidden);
    }
    if (const Property* due = todo->property(dueProperty)) {
        result.due = ICalendar::utcInstant(due->value);
        result.dueChanged = changedTime(*due);
    }
    const Property* record = todo->property(doneProperty);
    const std::optional<bool> recorded = record ? std::optional(isTrue(record->value)) : std::nullopt;
    // CANCELLED is ours, for an item the sites no longer list: it says nothing of the done mark.
    result.completed = hasStatus(*todo, "COMPLETED") || (hasStatus(*todo, "CANCELLED") && recorded == true);
    if (recorded == result.completed) {
        result.completedChanged = changedTime(*record);
        return result;
    }
    for (const std::string_view name : {"COMPLETED", "LAST-MODIFIED", "DTSTAMP"}) {
        const Property* property = todo->property(name);
        if (property && (name != "COMPLETED" || result.completed)) {
            if ((result.completedChanged = ICalendar::utcInstant(property->value)))
                break;
        }
    }
    return result;
}

std::string digest(const Assessment& item, const Settings& settings, const UserOverride& marks)
{
    const Task task = build(item, settings, marks, Instant{});
    const std::string text = ICalendar::write(withoutStamps(task.calendar.components.front(), {"COMPLETED"}));
    // FNV-1a: a change only has to be told from no change; nothing secret rests on it.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    std::string hex(16, '0');
    for (std::size_t index = 16; index-- > 0; hash >>= 4)
        hex[index] = "0123456789abcdef"[hash & 0xF];
    return hex;
}

} // namespace vantory::CalendarTask
