// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Engine.h"
#include "model/Dates.h"
#include "model/Modes.h"
#include "model/UnicodeText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <unordered_map>

namespace vantory::Engine {

namespace {

bool isFullCredit(const AccessRule& rule)
{
    // A NaN credit compares false, so it never counts as full credit.
    return rule.credit >= 100;
}

bool isOpenEnd(const std::string& end)
{
    return end.empty() || end == "-" || end == "\u2014";
}

// The status of a row without any full-credit rule, read from its availability text alone.
std::string statusWithoutRules(const std::string& availability, bool hasRelease)
{
    if (availability.starts_with("Available"))
        return hasRelease ? Modes::Deadline::unreleased : Modes::Deadline::parseError;
    if (availability == "Not yet available")
        return Modes::Deadline::unreleased;
    if (availability.find("until") != std::string::npos)
        return Modes::Deadline::parseError;
    return Modes::Deadline::unknown;
}

// The score as the site prints it ("85%", " 85 ", "85") in percent; absent for anything else
// that is not a whole number text. Infinities and NaN are refused: JSON cannot store them, so
// a saved score would silently come back absent.
std::optional<double> parseScore(std::string text)
{
    std::erase(text, '%');
    std::string_view number = UnicodeText::trimmed(text);
    if (number.starts_with('+') && number.size() > 1 && number[1] != '-')
        number.remove_prefix(1);
    double value = 0;
    const char* last = number.data() + number.size();
    const auto [end, error] = std::from_chars(number.data(), last, value);
    if (number.empty() || error != std::errc{} || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The previous due date survives a row whose dates could not be read.
void carryOverDates(Assessment& item, const Assessment* previous)
{
    if (previous == nullptr || item.deadlineStatus != Modes::Deadline::parseError)
        return;
    item.due = previous->due;
    if (!item.release)
        item.release = previous->release;
}

bool idLess(const Assessment& left, const Assessment& right)
{
    // std::string compares bytes as unsigned char, which is code-point order for UTF-8.
    return left.id < right.id;
}

// Restores the invariant "unique and sorted by id" that only a hand-edited state file breaks;
// of several items with one id the last one stays, as a later fresh item replaces an earlier.
void restoreOrder(std::vector<Assessment>& items)
{
    const auto unordered = std::adjacent_find(
        items.begin(), items.end(), [](const Assessment& a, const Assessment& b) { return !idLess(a, b); });
    if (unordered == items.end())
        return;
    std::stable_sort(items.begin(), items.end(), idLess);
    auto kept = items.begin();
    for (auto run = items.begin(); run != items.end();) {
        const auto runEnd = std::find_if(run, items.end(), [&](const Assessment& item) { return item.id != run->id; });
        if (kept != runEnd - 1)
            *kept = std::move(*(runEnd - 1));
        ++kept;
        run = runEnd;
    }
    items.erase(kept, items.end());
}

const Assessment* findByID(const std::vector<Assessment>& sorted, const std::string& id)
{
    const auto found = std::lower_bound(
        sorted.begin(), sorted.end(), id, [](const Assessment& item, const std::string& key) { return item.id < key; });
    return found != sorted.end() && found->id == id ? &*found : nullptr;
}

// The fresh items that may enter the database, one per id (the later one wins), with dates
// carried over, sorted by id.
std::vector<Assessment> acceptFresh(
    std::vector<Assessment> fresh, const std::string& courseID, const std::vector<Assessment>& stored)
{
    std::vector<Assessment> accepted;
    accepted.reserve(fresh.size());
    std::unordered_map<std::string, std::size_t> positions;
    for (Assessment& item : fresh) {
        const Assessment* previous = findByID(stored, item.id);
        // Another course's item is never replaced, whatever the sync returned.
        if (item.courseID != courseID || (previous != nullptr && previous->courseID != courseID))
            continue;
        const auto [position, isNew] = positions.try_emplace(item.id, accepted.size());
        if (!isNew)
            previous = &accepted[position->second];
        carryOverDates(item, previous);
        if (isNew)
            accepted.push_back(std::move(item));
        else
            accepted[position->second] = std::move(item);
    }
    std::sort(accepted.begin(), accepted.end(), idLess);
    return accepted;
}

} // namespace

Assessment assessment(const RawAssessment& raw, const Course& course, Instant now, const Zone& zone)
{
    const std::optional<Instant> availabilityRelease = Dates::release(raw.availability, course.year, zone);

    Assessment item{
        .id = course.id + ":" + raw.code,
        .courseID = course.id,
        .code = raw.code,
        .title = raw.title,
        .category = raw.category,
        .availability = raw.availability,
        .score = parseScore(raw.score),
        .url = raw.url,
        .release = availabilityRelease,
        .due = std::nullopt,
        .deadlineStatus = {},
        .rules = raw.rules,
        .checkedAt = now,
        .submitted = std::nullopt,
        .missing = false,
    };

    bool anyFullCredit = false;
    bool anyOpenEnd = false;
    bool everyEndParsed = true;
    std::optional<Instant> earliestStart;
    std::optional<Instant> latestEnd;
    for (const AccessRule& rule : raw.rules) {
        if (!isFullCredit(rule))
            continue;
        anyFullCredit = true;
        if (const auto start = Dates::exact(rule.start); start && (!earliestStart || *start < *earliestStart))
            earliestStart = start;
        anyOpenEnd = anyOpenEnd || isOpenEnd(rule.end);
        const auto end = Dates::exact(rule.end);
        everyEndParsed = everyEndParsed && end.has_value();
        if (end && (!latestEnd || *end > *latestEnd))
            latestEnd = end;
    }

    if (!anyFullCredit) {
        item.deadlineStatus = statusWithoutRules(raw.availability, availabilityRelease.has_value());
        return item;
    }
    if (earliestStart)
        item.release = earliestStart;
    if (anyOpenEnd) {
        item.deadlineStatus = Modes::Deadline::unlimited;
    } else if (everyEndParsed) {
        item.deadlineStatus = Modes::Deadline::known;
        item.due = latestEnd;
    } else {
        item.deadlineStatus = Modes::Deadline::parseError;
    }
    return item;
}

void merge(std::vector<Assessment> fresh, const std::string& courseID, Database& db, Instant now)
{
    std::vector<Assessment>& stored = db.assessments;
    restoreOrder(stored);
    std::vector<Assessment> incoming = acceptFresh(std::move(fresh), courseID, stored);

    // One pass over both id-sorted lists: replace in place, mark the vanished, collect the new.
    std::vector<Assessment> added;
    auto next = incoming.begin();
    for (Assessment& item : stored) {
        for (; next != incoming.end() && next->id < item.id; ++next)
            added.push_back(std::move(*next));
        if (next != incoming.end() && next->id == item.id)
            item = std::move(*next++);
        else if (item.courseID == courseID)
            item.missing = true;
    }
    std::move(next, incoming.end(), std::back_inserter(added));

    if (!added.empty()) {
        const auto oldSize = static_cast<std::ptrdiff_t>(stored.size());
        stored.insert(stored.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
        std::inplace_merge(stored.begin(), stored.begin() + oldSize, stored.end(), idLess);
    }
    db.lastSync[courseID] = now;
}

} // namespace vantory::Engine
