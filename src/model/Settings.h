// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Course.h"
#include "model/JsonFwd.h"
#include "model/Modes.h"
#include "model/Sites.h"
#include "model/Uuid.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantory {

class Zone;

// What an absent optional setting means to its readers, and where normalize() puts a value it
// cannot keep. Points and seconds.
namespace SettingsDefaults {
inline constexpr double statusWidth = 280;
inline constexpr double statusPadding = 6;
inline constexpr double statusFontSize = 12;
inline constexpr double transitionDuration = 0.3;
inline constexpr const char* transitionStyle = Modes::Transition::fade;
} // namespace SettingsDefaults

// A remaining-time threshold in hours with a colour (six hex digits, no "#").
struct ColorRule {
    std::string id = makeUuid();
    double hours = 0;
    std::string hex;

    bool operator==(const ColorRule&) const = default;
};

// A threshold with separate colours for the status line's dot and its remaining-time text.
struct PairedColorRule {
    std::string id = makeUuid();
    double hours = 0;
    std::string dotHex;
    std::string timeHex;

    bool operator==(const PairedColorRule&) const = default;
};

// The first rule in ascending hours (stable) whose threshold the remaining time in seconds is
// within. A NaN never compares less-or-equal, so it matches none.
template <typename Rule> const Rule* matchingRule(const std::vector<Rule>& rules, double seconds)
{
    std::vector<const Rule*> sorted;
    sorted.reserve(rules.size());
    for (const Rule& rule : rules)
        sorted.push_back(&rule);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Rule* a, const Rule* b) { return a->hours < b->hours; });
    for (const Rule* rule : sorted) {
        if (seconds <= rule->hours * 3600)
            return rule;
    }
    return nullptr;
}

// How one category is coloured in the status line (Modes::ColorSource).
struct CategoryStyle {
    std::string mode = Modes::ColorSource::urgency;
    std::string hex = "FFFFFF";

    bool operator==(const CategoryStyle&) const = default;

    // The category's colour for an already colour-adjusted course and the urgency colour.
    std::string color(const Course& course, const std::string& urgency) const;
};

// The user's whole configuration. Optional fields keep older state files loadable; their
// consumers decide what absence means. Widths, paddings and font sizes are in points.
struct Settings {
    std::optional<bool> uniformCourseColors;
    std::optional<std::string> uniformCalendarHex;
    std::optional<std::string> uniformMenuMode;
    std::optional<std::string> uniformMenuHex;
    std::optional<bool> canvasEnabled;
    std::optional<std::map<std::string, CategoryStyle>> categoryStyles;
    std::optional<double> statusWidth;
    std::optional<std::string> statusWidthMode;
    std::optional<std::string> statusAlignment;
    std::optional<double> statusPadding;
    std::optional<double> statusFontSize;
    std::optional<std::string> transitionStyle;
    std::optional<double> transitionDuration;
    std::int64_t syncMinutes = 60;
    std::vector<double> durations{10, 5, 5};
    std::vector<ColorRule> rules{ColorRule{makeUuid(), 12, "EF4444"}, ColorRule{makeUuid(), 36, "EAB308"}};
    std::optional<std::vector<PairedColorRule>> pairedRules;
    std::optional<std::string> pairedOtherDot;
    std::optional<std::string> pairedOtherTime;
    std::optional<bool> linkedTimeColors;
    std::optional<bool> independentColors;
    std::optional<std::string> dotStyle;
    std::optional<std::string> timeColorMode;
    std::optional<std::string> timeHex;
    std::optional<std::string> dotColorMode;
    std::optional<std::string> dotHex;
    std::optional<std::vector<ColorRule>> dotRules;
    std::optional<std::string> dotOtherHex;
    std::string otherHex = "22C55E";
    std::optional<std::string> listSort;
    std::optional<bool> doubleClickOpensAssignment;
    std::optional<bool> showProgress = false;
    std::string colorMode = Modes::LineColors::text;
    bool excludePerfect = true;
    bool showReleases = false;
    std::vector<std::string> excludedCategories;
    std::vector<Course> courses;
    // Lead times of the deadline reminders in whole minutes; absent (or empty) means no reminders.
    std::optional<std::vector<std::int64_t>> reminderMinutes;
    // The school's sites as SiteAddress normalises them; absent means the build's address, empty
    // means the school does not use that site. Absent while equal to the build's.
    std::optional<std::string> assessmentBaseURL;
    std::optional<std::string> canvasBaseURL;
    // The school's IANA time zone; absent means the default zone.
    std::optional<std::string> timeZone;
    // The task collection on the student's calendar server as SiteAddress::checkCollection stores it,
    // and the user name there (the password lives in the desktop's secret store); absent when unset.
    std::optional<std::string> calendarServerURL;
    std::optional<std::string> calendarServerUser;
    // Whether each task carries an alarm per reminder lead; absent means no.
    std::optional<bool> calendarServerAlarms;

    bool operator==(const Settings&) const = default;

    // Migrates older colour configurations and clamps every number into its range. Idempotent.
    void normalize();

    // The dot and time colours for a remaining time in seconds as the colour fields of files older
    // than the paired rules describe them; normalize() migrates those fields through these.
    std::string legacyDotHex(double seconds) const;
    std::string legacyTimeHex(double seconds) const;

    // The sites these settings choose: each stored address (one that no longer passes its check
    // means the site is not used), else the build's.
    Sites sites() const;

    // The calendar server's collection while one is set and passes its check; empty otherwise.
    std::string calendarServer() const;

    // The school's zone: the stored one, else the default (also for an id ICU does not know).
    // Creates an ICU zone, so callers take it once per operation, not per item.
    Zone zone() const;

    // The course with that id; none when the settings do not list it.
    const Course* course(std::string_view courseID) const;
    // The course's short name, or the id itself for a course the settings do not list.
    std::string courseName(const std::string& courseID) const;

    // The course with the colours it is shown with (the uniform ones when they are switched on).
    Course coloredCourse(const Course& course) const;

    // The style stored for a category of a course: under the course's own key, else under "all|";
    // none when neither exists (readers then use a new CategoryStyle, or their own fallback).
    const CategoryStyle* categoryStyle(const std::string& courseID, const std::string& category) const;
};

void writeJson(codec::JsonWriter& writer, const ColorRule& rule);
void readJson(const codec::JsonValue& json, ColorRule& rule);
void writeJson(codec::JsonWriter& writer, const PairedColorRule& rule);
void readJson(const codec::JsonValue& json, PairedColorRule& rule);
void writeJson(codec::JsonWriter& writer, const CategoryStyle& style);
void readJson(const codec::JsonValue& json, CategoryStyle& style);
void writeJson(codec::JsonWriter& writer, const Settings& settings);
void readJson(const codec::JsonValue& json, Settings& settings);

} // namespace vantory
