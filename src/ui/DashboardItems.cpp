// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DashboardItems.h"

#include "engine/Engine.h"
#include "model/Dates.h"
#include "model/Modes.h"
#include "store/Store.h"

#include <QCoreApplication>

#include <chrono>
#include <map>

namespace vantory::DashboardItems {

namespace {

constexpr double millisecondsPerSecond = 1000.0;

Month monthOf(int year, int monthNumber, const Zone& zone)
{
    Month month{.zone = zone};
    const std::unique_ptr<icu::Calendar> calendar = Dates::calendar(zone);
    if (!calendar)
        return month;
    UErrorCode status = U_ZERO_ERROR;
    calendar->clear();
    calendar->set(year, monthNumber - 1, 1);
    month.start = instantFromSeconds(calendar->getTime(status) / millisecondsPerSecond);
    month.year = year;
    month.month = monthNumber;
    month.days = calendar->getActualMaximum(UCAL_DATE, status);
    // Weekdays count 1 = Sunday … 7 = Saturday; Monday-first weeks put Monday in column 0.
    month.leadingBlanks = (calendar->get(UCAL_DAY_OF_WEEK, status) + 5) % 7;
    month.firstDay = Dates::dayNumber(month.start, zone);
    return U_SUCCESS(status) ? month : Month{.zone = zone};
}

// The day's index in the month, or -1 outside it.
int dayIndex(const Month& month, Instant instant)
{
    const std::int64_t offset = Dates::dayNumber(instant, month.zone) - month.firstDay;
    return offset >= 0 && offset < month.days ? static_cast<int>(offset) : -1;
}

std::vector<Rgb> firstColors(const std::map<std::string, Rgb>& byCourse)
{
    std::vector<Rgb> colors;
    for (const auto& [courseID, color] : byCourse) {
        if (colors.size() == maxDots)
            break;
        colors.push_back(color);
    }
    return colors;
}

} // namespace

std::string sortKey(const Settings& settings)
{
    return settings.listSort.value_or(Modes::ListSort::date);
}

std::vector<Assessment> visible(const Store& store, Filter filter, std::optional<std::int64_t> selectedDay)
{
    const Database& db = store.db();
    const Instant now = store.now();
    const Zone& zone = store.zone();
    const auto copies = [](const std::vector<const Assessment*>& sorted) {
        std::vector<Assessment> rows;
        rows.reserve(sorted.size());
        for (const Assessment* item : sorted)
            rows.push_back(*item);
        return rows;
    };
    if (filter == Filter::upcoming && !selectedDay)
        return copies(Engine::sortedList(Engine::upcomingView(db, now), db));

    std::vector<const Assessment*> items;
    for (const Assessment* enabled : store.enabled()) {
        const Assessment& item = *enabled;
        const std::optional<Instant> due = store.due(item);
        bool keep = false;
        if (selectedDay) {
            keep = (due && Dates::dayNumber(*due, zone) == *selectedDay)
                || (db.settings.showReleases && item.release && Dates::dayNumber(*item.release, zone) == *selectedDay);
        } else {
            switch (filter) {
            case Filter::all:
            case Filter::upcoming:
                keep = true;
                break;
            case Filter::undated:
                keep = !due && !Engine::done(item, db);
                break;
            case Filter::overdue:
                keep = due && *due <= now && !Engine::done(item, db);
                break;
            case Filter::doneOrHidden: {
                const auto override = db.overrides.find(item.id);
                keep = Engine::done(item, db) || (override != db.overrides.end() && override->second.hidden);
                break;
            }
            }
        }
        if (keep)
            items.push_back(enabled);
    }
    return copies(Engine::sortedList(items, db));
}

Month month(Instant instant, const Zone& zone)
{
    const std::unique_ptr<icu::Calendar> calendar = Dates::calendar(zone);
    if (!calendar)
        return {.zone = zone};
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(secondsSince1970(instant) * millisecondsPerSecond, status);
    const int year = calendar->get(UCAL_YEAR, status);
    const int monthNumber = calendar->get(UCAL_MONTH, status) + 1;
    return U_SUCCESS(status) ? monthOf(year, monthNumber, zone) : Month{.zone = zone};
}

Month shifted(const Month& month, int delta)
{
    const int index = month.year * 12 + (month.month - 1) + delta;
    return monthOf(index / 12, index % 12 + 1, month.zone);
}

Instant dayStart(std::int64_t day, const Zone& zone)
{
    const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{day}}};
    const std::unique_ptr<icu::Calendar> calendar = Dates::calendar(zone);
    if (!calendar)
        return {};
    UErrorCode status = U_ZERO_ERROR;
    calendar->clear();
    calendar->set(static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())) - 1,
        static_cast<int>(static_cast<unsigned>(date.day())));
    return instantFromSeconds(calendar->getTime(status) / millisecondsPerSecond);
}

std::vector<DayMarks> marks(const Store& store, const Month& month)
{
    std::vector<std::map<std::string, Rgb>> due(static_cast<std::size_t>(month.days));
    std::vector<std::map<std::string, Rgb>> released(static_cast<std::size_t>(month.days));
    std::vector<DayMarks> result(static_cast<std::size_t>(month.days));
    const bool showReleases = store.db().settings.showReleases;
    std::map<std::string, Rgb> courseColors;
    const auto colorOf = [&](const Assessment& item) {
        auto found = courseColors.find(item.courseID);
        if (found == courseColors.end())
            found = courseColors.emplace(item.courseID, store.courseColor(item)).first;
        return found->second;
    };
    for (const Assessment* enabled : store.enabled()) {
        const Assessment& item = *enabled;
        if (const std::optional<Instant> date = store.due(item)) {
            if (const int index = dayIndex(month, *date); index >= 0) {
                ++result[static_cast<std::size_t>(index)].dueCount;
                due[static_cast<std::size_t>(index)].emplace(item.courseID, colorOf(item));
            }
        }
        if (showReleases && item.release) {
            if (const int index = dayIndex(month, *item.release); index >= 0) {
                ++result[static_cast<std::size_t>(index)].releaseCount;
                released[static_cast<std::size_t>(index)].emplace(item.courseID, colorOf(item));
            }
        }
    }
    for (std::size_t index = 0; index < result.size(); ++index) {
        result[index].due = firstColors(due[index]);
        result[index].released = firstColors(released[index]);
    }
    return result;
}

std::string zoneLabel(const Zone& zone, Instant now)
{
    return zone.city() + " · " + zone.abbreviation(now);
}

Row row(const Store& store, const Assessment& item)
{
    const Database& db = store.db();
    const auto stored = db.overrides.find(item.id);
    const UserOverride override = stored != db.overrides.end() ? stored->second : UserOverride{};

    Row row;
    row.item = item;
    row.done = Engine::done(item, db);
    row.autoCompleted = Engine::autoCompleted(item);
    row.completedByUser = override.completed;
    row.hidden = override.hidden;
    row.edited = override.due.has_value();
    row.parseError = item.deadlineStatus == Modes::Deadline::parseError;

    for (const std::string& part : {store.courseName(item), item.shortCategory(), item.code}) {
        if (part.empty())
            continue;
        row.heading += row.heading.empty() ? part : " · " + part;
    }
    row.courseColor = store.courseColor(item);

    if (const std::optional<Instant> due = store.due(item)) {
        row.dueText = Dates::monthDayTime(*due, store.zone());
        row.urgency = store.color(item);
        if (!row.done)
            row.remaining = Dates::remaining(secondsSince1970(*due) - secondsSince1970(store.now()));
    } else if (item.release) {
        row.undatedText = QCoreApplication::translate("DashboardItems", "%1 공개 · 마감일 미확인")
                              .arg(QString::fromStdString(Dates::monthDayTime(*item.release, store.zone())));
    } else {
        row.undatedText = item.deadlineStatus == Modes::Deadline::unlimited
            ? QCoreApplication::translate("DashboardItems", "마감 제한 없음")
            : QCoreApplication::translate("DashboardItems", "마감일 미확인");
    }

    if (row.autoCompleted)
        row.completionHelp
            = QCoreApplication::translate("DashboardItems", "자동 완료 · 사이트 상태를 동기화해 갱신합니다");
    else if (override.completed)
        row.completionHelp = QCoreApplication::translate("DashboardItems", "수동 완료 해제");
    else
        row.completionHelp = QCoreApplication::translate("DashboardItems", "완료 처리");
    return row;
}

} // namespace vantory::DashboardItems
