// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CollationKeys.h"
#include "engine/Engine.h"
#include "model/Dates.h"
#include "model/Modes.h"
#include "model/UnicodeText.h"
#include "model/Wording.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vantory::Engine {

namespace {

const UserOverride* findOverride(const Assessment& item, const Database& db)
{
    const auto found = db.overrides.find(item.id);
    return found != db.overrides.end() ? &found->second : nullptr;
}

// Finds the overrides of items visited in id order with one forward walk over the (sorted)
// override map instead of a search per item; an item out of order, or far ahead, costs one search.
class OverrideCursor {
public:
    explicit OverrideCursor(const Database& db)
        : overrides(db.overrides)
        , next(overrides.begin())
    {
    }

    const UserOverride* find(const Assessment& item)
    {
        constexpr int maximumSteps = 4;
        int steps = 0;
        while (next != overrides.end() && next->first < item.id && steps++ < maximumSteps)
            ++next;
        if (item.id < lastID || steps > maximumSteps)
            next = overrides.lower_bound(item.id);
        lastID = item.id;
        return next != overrides.end() && next->first == item.id ? &next->second : nullptr;
    }

private:
    const std::map<std::string, UserOverride>& overrides;
    std::map<std::string, UserOverride>::const_iterator next;
    std::string_view lastID;
};

std::optional<Instant> effectiveDue(const Assessment& item, const UserOverride* override)
{
    if (override != nullptr && override->due)
        return override->due;
    return item.due;
}

// The settings an eligibility test reads, gathered once so that a pass over thousands of
// items does not search the course and category lists for each one.
class Eligibility {
public:
    explicit Eligibility(const Settings& settings)
        : excludedCategories(settings.excludedCategories.begin(), settings.excludedCategories.end())
    {
        for (const Course& course : settings.courses) {
            if (course.enabled)
                enabledCourses.insert(course.id);
        }
    }

    bool test(const Assessment& item, const UserOverride* override) const
    {
        return enabledCourses.contains(item.courseID) && !item.missing
            && (override == nullptr || (!override->hidden && !override->completed)) && !autoCompleted(item)
            && !excludedCategories.contains(item.category);
    }

private:
    std::unordered_set<std::string_view> enabledCourses;
    std::unordered_set<std::string_view> excludedCategories;
};

// 0 with an effective due date, 1 with only a release date, 2 with neither.
int dateGroup(const std::optional<Instant>& due, const Assessment& item)
{
    if (due)
        return 0;
    return item.release ? 1 : 2;
}

// The dashboard's primary key of an item under the given listSort, or null for "date" and
// unknown values, which order by date alone.
class PrimaryKey {
public:
    explicit PrimaryKey(const Settings& settings)
        : sort(settings.listSort.value_or(Modes::ListSort::date))
    {
        // With two courses of one id the first in the list names them, as the settings show it.
        if (sort == Modes::ListSort::course) {
            for (const Course& course : settings.courses)
                courseNames.try_emplace(course.id, &course.name);
        }
    }

    const std::string* of(const Assessment& item) const
    {
        if (sort == Modes::ListSort::course) {
            const auto found = courseNames.find(item.courseID);
            return found != courseNames.end() ? found->second : &item.courseID;
        }
        if (sort == Modes::ListSort::category)
            return &item.category;
        if (sort == Modes::ListSort::title)
            return &item.title;
        return nullptr;
    }

private:
    std::string sort;
    std::unordered_map<std::string_view, const std::string*> courseNames;
};

} // namespace

std::optional<Instant> due(const Assessment& item, const Database& db)
{
    return effectiveDue(item, findOverride(item, db));
}

bool autoCompleted(const Assessment& item)
{
    if (item.submitted == true)
        return true;
    if (item.courseID.starts_with(Course::canvasPrefix))
        return false;
    return item.score.value_or(-1) >= 100;
}

bool done(const Assessment& item, const Database& db)
{
    const UserOverride* override = findOverride(item, db);
    return (override != nullptr && override->completed) || autoCompleted(item);
}

std::vector<const Assessment*> upcomingView(const Database& db, Instant now, std::size_t limit)
{
    struct Entry {
        const Assessment* item;
        Instant due;
    };
    const Eligibility eligibility(db.settings);
    OverrideCursor overrides(db);
    std::vector<Entry> entries;
    for (const Assessment& item : db.assessments) {
        const UserOverride* override = overrides.find(item);
        // A deadline equal to now has already passed; NaN never lies after now.
        if (const auto due = effectiveDue(item, override); due && *due > now && eligibility.test(item, override))
            entries.push_back({&item, *due});
    }
    // Ids equal under the collation fall back to code-point order, the stored order, so the
    // order is total and a stable sort is not needed.
    const auto nearer = [](const Entry& a, const Entry& b) {
        if (a.due != b.due)
            return a.due < b.due;
        if (const int order = UnicodeText::compareLocalized(a.item->id, b.item->id); order != 0)
            return order < 0;
        return a.item->id < b.item->id;
    };
    if (limit < entries.size()) {
        std::partial_sort(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(limit), entries.end(), nearer);
        entries.resize(limit);
    } else {
        std::sort(entries.begin(), entries.end(), nearer);
    }

    std::vector<const Assessment*> result;
    result.reserve(entries.size());
    for (const Entry& entry : entries)
        result.push_back(entry.item);
    return result;
}

std::vector<const Assessment*> sortedList(const std::vector<const Assessment*>& items, const Database& db)
{
    struct Entry {
        const Assessment* item;
        int group;
        const std::string* primary; // the listSort text's collation key; null when sorting by date
        double date;
        const std::string* title; // the title's collation key, only for items that tie without it
    };
    const PrimaryKey primaryKey(db.settings);
    CollationKeys keys;
    OverrideCursor overrides(db);
    std::vector<Entry> entries;
    entries.reserve(items.size());
    for (const Assessment* item : items) {
        const auto due = effectiveDue(*item, overrides.find(*item));
        const auto date = due ? due : item->release;
        // Undated items share the most distant future, so they fall through to title and id.
        const double dateKey = date ? secondsSince1970(*date) : std::numeric_limits<double>::infinity();
        const std::string* primary = primaryKey.of(*item);
        entries.push_back({item, dateGroup(due, *item), primary ? &keys.of(*primary) : nullptr, dateKey, nullptr});
    }

    const auto before = [](const Entry& a, const Entry& b) {
        if (a.group != b.group)
            return a.group < b.group;
        if (a.primary != nullptr) {
            if (const int order = a.primary->compare(*b.primary); order != 0)
                return order < 0;
        }
        return a.date < b.date;
    };
    std::stable_sort(entries.begin(), entries.end(), before);
    // Items that tie so far are ordered by title, then id: only their titles need keys.
    for (auto run = entries.begin(); run != entries.end();) {
        const auto end = std::find_if(run + 1, entries.end(), [&](const Entry& entry) { return before(*run, entry); });
        if (end - run > 1) {
            for (auto entry = run; entry != end; ++entry)
                entry->title = &keys.of(entry->item->title);
            std::stable_sort(run, end, [](const Entry& a, const Entry& b) {
                if (const int order = a.title->compare(*b.title); order != 0)
                    return order < 0;
                return a.item->id < b.item->id;
            });
        }
        run = end;
    }

    std::vector<const Assessment*> sorted;
    sorted.reserve(entries.size());
    for (const Entry& entry : entries)
        sorted.push_back(entry.item);
    return sorted;
}

RotationSlot rotationSlot(double elapsed, std::int64_t count, const std::vector<double>& durations)
{
    const std::int64_t slots = std::min(count, static_cast<std::int64_t>(durations.size()));
    if (slots < 1)
        return {};
    // A slot shorter than a second, or not a number, still shows for one second.
    const auto slotLength = [&](std::int64_t index) {
        const double duration = durations[static_cast<std::size_t>(index)];
        return duration >= 1 ? duration : 1.0;
    };
    double total = 0;
    for (std::int64_t index = 0; index < slots; ++index)
        total += slotLength(index);

    double position = std::fmod(elapsed > 0 ? elapsed : 0.0, total);
    for (std::int64_t index = 0; index < slots; ++index) {
        if (position < slotLength(index))
            return {index, slotLength(index) - position};
        position -= slotLength(index);
    }
    // Only rounding, or an infinite elapsed time whose remainder is NaN, lands here.
    return {};
}

std::string lastUpdateText(const Database& db)
{
    std::optional<Instant> oldest;
    for (const Course& course : db.settings.courses) {
        if (!course.enabled)
            continue;
        if (const auto found = db.lastSync.find(course.id); found != db.lastSync.end())
            oldest = oldest ? std::min(*oldest, found->second) : found->second;
    }
    if (!oldest)
        return std::string(wording().neverSynced);
    return fill(wording().lastUpdate, {Dates::monthDayTime(*oldest, db.settings.zone())});
}

} // namespace vantory::Engine
