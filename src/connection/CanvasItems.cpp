// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/CanvasItems.h"

#include "model/Modes.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <regex>

namespace vantory::CanvasItems {

std::optional<Instant> readDate(const std::optional<std::string>& text)
{
    if (!text)
        return std::nullopt;
    static const std::regex form(
        R"(^(\d{4})-(\d{2})-(\d{2})[Tt](\d{2}):(\d{2}):(\d{2})(\.\d+)?(?:([Zz])|([+-])(\d{2}):(\d{2}))$)");
    std::smatch match;
    if (!std::regex_match(*text, match, form))
        return std::nullopt;
    const auto number = [&](int group) { return std::stoi(match[group].str()); };
    using namespace std::chrono;
    const year_month_day date{year(number(1)), month(unsigned(number(2))), day(unsigned(number(3)))};
    const int hours = number(4), minutes = number(5), seconds = number(6);
    if (!date.ok() || hours > 23 || minutes > 59 || seconds > 59)
        return std::nullopt;
    int offsetMinutes = 0;
    if (!match[8].matched) {
        const int offsetHours = number(10), offsetPart = number(11);
        if (offsetHours > 23 || offsetPart > 59)
            return std::nullopt;
        offsetMinutes = (offsetHours * 60 + offsetPart) * (match[9] == "-" ? -1 : 1);
    }
    // Nanoseconds at most: a page may send any number of digits, and std::stod throws on the tiny
    // value hundreds of them can spell.
    const std::string digits = match[7].matched ? match[7].str().substr(1, 9) : std::string();
    const double fraction = digits.empty() ? 0.0 : std::stoi(digits) / std::pow(10.0, double(digits.size()));
    const double utc = double(sys_days(date).time_since_epoch().count()) * 86400 + hours * 3600 + minutes * 60 + seconds
        + fraction - offsetMinutes * 60;
    return instantFromSeconds(utc);
}

Assessment item(const CanvasAssignment& assignment, const Course& course,
    const std::map<std::string, bool>& submissions, const Database& db, Instant now)
{
    const std::string id = course.id + ":" + assignment.id;
    std::optional<bool> submitted;
    if (const auto state = submissions.find(assignment.id); state != submissions.end()) {
        submitted = state->second;
    } else {
        const auto& stored = db.assessments;
        const auto found = std::find_if(stored.begin(), stored.end(), [&](const Assessment& a) { return a.id == id; });
        if (found != stored.end())
            submitted = found->submitted;
    }
    const std::optional<Instant> due = readDate(assignment.due);
    return {.id = id,
        .courseID = course.id,
        .code = "A" + assignment.id,
        .title = assignment.title,
        .category = assignment.category,
        .availability = "Canvas Due",
        .url = assignment.url,
        .release = readDate(assignment.release),
        .due = due,
        .deadlineStatus = due ? Modes::Deadline::known : Modes::Deadline::unknown,
        .checkedAt = now,
        .submitted = submitted};
}

} // namespace vantory::CanvasItems
