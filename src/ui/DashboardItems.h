// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "model/Instant.h"
#include "model/Rgb.h"
#include "model/Settings.h"
#include "model/Zone.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantory {
class Store;
}

// What the dashboard shows, computed from the Store: the list's content, the month grid and its
// marks, and the texts of one row. The widgets only lay these out.
namespace vantory::DashboardItems {

enum class Filter { all, upcoming, undated, overdue, doneOrHidden };

// The choices' texts are source texts of the "DashboardItems" context, translated where shown.
struct FilterChoice {
    Filter filter;
    const char* key; // the button's description
    const char* label;
};
inline constexpr std::array<FilterChoice, 5> filters{{
    {Filter::all, QT_TRANSLATE_NOOP("DashboardItems", "전체 과제"), QT_TRANSLATE_NOOP("DashboardItems", "전체")},
    {Filter::upcoming, QT_TRANSLATE_NOOP("DashboardItems", "다가오는 마감"),
        QT_TRANSLATE_NOOP("DashboardItems", "예정")},
    {Filter::undated, QT_TRANSLATE_NOOP("DashboardItems", "마감일 미확인"),
        QT_TRANSLATE_NOOP("DashboardItems", "마감 미확인")},
    {Filter::overdue, QT_TRANSLATE_NOOP("DashboardItems", "마감 지난 과제"),
        QT_TRANSLATE_NOOP("DashboardItems", "지난 마감")},
    {Filter::doneOrHidden, QT_TRANSLATE_NOOP("DashboardItems", "완료·숨긴 과제"),
        QT_TRANSLATE_NOOP("DashboardItems", "완료·숨김")},
}};

struct SortChoice {
    const char* key;
    const char* label;
};
inline constexpr std::array<SortChoice, 4> sorts{{
    {"date", QT_TRANSLATE_NOOP("DashboardItems", "일정순")},
    {"course", QT_TRANSLATE_NOOP("DashboardItems", "과목순")},
    {"category", QT_TRANSLATE_NOOP("DashboardItems", "카테고리순")},
    {"title", QT_TRANSLATE_NOOP("DashboardItems", "이름순")},
}};

// The list's sort key as the sort bar marks it: an absent setting is "date".
std::string sortKey(const Settings& settings);

// The list: the enabled items of the selected day (due, or released when releases show), which
// ignores the filter, or else the items of the filter; in the dashboard order. Days are the
// store's zone's.
std::vector<Assessment> visible(const Store& store, Filter filter, std::optional<std::int64_t> selectedDay);

// One displayed month of a zone's calendar.
struct Month {
    Zone zone; // whose days these are
    Instant start{}; // its first instant
    std::int64_t firstDay = 0; // Dates::dayNumber of its first day
    int year = 0;
    int month = 0; // 1 to 12
    int days = 0;
    int leadingBlanks = 0; // cells before the 1st in a Monday-first week
};
// The month of zone holding instant.
Month month(Instant instant, const Zone& zone);
// The month delta months away from month, in its zone.
Month shifted(const Month& month, int delta);
// The first instant in zone of a day given by Dates::dayNumber.
Instant dayStart(std::int64_t day, const Zone& zone);

// A day cell's marks: up to four course colours of the items due (and released) that day, in
// course-id order, and how many items are due.
struct DayMarks {
    std::vector<Rgb> due;
    std::vector<Rgb> released;
    int dueCount = 0;
    int releaseCount = 0; // counted only when releases are shown
};
inline constexpr std::size_t maxDots = 4;
std::vector<DayMarks> marks(const Store& store, const Month& month);

// The calendar's note of its zone at now: the city and the current short name ("Vancouver · PDT").
std::string zoneLabel(const Zone& zone, Instant now);

// The texts and colours of one list row.
struct Row {
    Assessment item;
    bool done = false;
    bool autoCompleted = false;
    bool completedByUser = false;
    bool hidden = false;
    bool edited = false; // the due date is the user's own
    bool parseError = false; // the last sync could not read the date
    std::string heading; // course · category · code
    Rgb courseColor;
    std::optional<std::string> dueText; // "M/d HH:mm" when there is an effective due date
    std::string remaining; // remaining time when due and not done
    Rgb urgency;
    QString undatedText; // the line shown without an effective due date
    QString completionHelp;
};
Row row(const Store& store, const Assessment& item);

} // namespace vantory::DashboardItems
