// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Settings.h"

#include "model/JsonDecoding.h"
#include "model/JsonWriter.h"
#include "model/Modes.h"
#include "model/SiteAddress.h"
#include "model/Zone.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantory {

namespace {

// A finite value into [low, high]; anything else becomes the fallback.
double clamped(double value, double low, double high, double fallback)
{
    return std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}

void clampPresent(std::optional<double>& value, double low, double high, double fallback)
{
    if (value)
        *value = clamped(*value, low, high, fallback);
}

// Step 1: an older file without timeColorMode describes the dot with dotColorMode.
void migrateTimeColorMode(Settings& settings)
{
    if (settings.timeColorMode)
        return;
    if (settings.dotColorMode == Modes::ColorChoice::fixed) {
        settings.dotRules = std::vector<ColorRule>{};
        settings.dotOtherHex = settings.dotHex.value_or("FFFFFF");
        settings.timeColorMode = Modes::ColorChoice::rules;
    } else if (settings.dotColorMode == Modes::ColorChoice::rules) {
        settings.dotRules = settings.dotRules.value_or(std::vector<ColorRule>{});
        settings.dotOtherHex = settings.dotOtherHex.value_or("FFFFFF");
        settings.timeColorMode = Modes::ColorChoice::rules;
    } else {
        settings.dotRules = settings.rules;
        settings.dotOtherHex = settings.otherHex;
        settings.timeColorMode = Modes::ColorChoice::same;
    }
}

// Step 2: separate dot and time colours.
void migrateToIndependentColors(Settings& settings)
{
    if (settings.independentColors == true)
        return;
    if (settings.timeColorMode == Modes::ColorChoice::same) {
        if (settings.dotRules)
            settings.rules = *settings.dotRules;
        if (settings.dotOtherHex)
            settings.otherHex = *settings.dotOtherHex;
        settings.timeColorMode = Modes::ColorChoice::rules;
    }
    settings.dotStyle = Modes::ColorChoice::rules;
    settings.colorMode = Modes::LineColors::both;
    settings.independentColors = true;
}

// Step 3: one paired table evaluated from the older colour fields at every threshold they name.
void buildPairedRules(Settings& settings)
{
    if (settings.pairedRules)
        return;
    std::vector<double> thresholds;
    if (settings.dotStyle != Modes::ColorChoice::fixed) {
        for (const ColorRule& rule : settings.dotRules ? *settings.dotRules : settings.rules)
            thresholds.push_back(rule.hours);
    }
    if (settings.timeColorMode != Modes::ColorChoice::fixed) {
        for (const ColorRule& rule : settings.rules)
            thresholds.push_back(rule.hours);
    }
    std::erase_if(thresholds, [](double hours) { return !std::isfinite(hours) || hours <= 0; });
    std::sort(thresholds.begin(), thresholds.end());
    thresholds.erase(std::unique(thresholds.begin(), thresholds.end()), thresholds.end());

    std::vector<PairedColorRule> paired;
    paired.reserve(thresholds.size());
    for (double hours : thresholds)
        paired.push_back(
            {makeUuid(), hours, settings.legacyDotHex(hours * 3600), settings.legacyTimeHex(hours * 3600)});

    constexpr double forever = std::numeric_limits<double>::infinity();
    settings.pairedOtherDot = settings.legacyDotHex(forever);
    settings.pairedOtherTime = settings.legacyTimeHex(forever);
    settings.linkedTimeColors = false;
    settings.pairedRules = std::move(paired);
}

// Lead times from a minute to four weeks, each once, shortest first; at most eight of the shortest,
// so a hand-edited file cannot multiply the work per item. None left means reminders are off.
void normalizeReminderMinutes(std::optional<std::vector<std::int64_t>>& minutes)
{
    if (!minutes)
        return;
    constexpr std::int64_t longest = 4 * 7 * 24 * 60;
    constexpr std::size_t most = 8;
    std::erase_if(*minutes, [](std::int64_t lead) { return lead < 1 || lead > longest; });
    std::sort(minutes->begin(), minutes->end());
    minutes->erase(std::unique(minutes->begin(), minutes->end()), minutes->end());
    if (minutes->size() > most)
        minutes->resize(most);
    if (minutes->empty())
        minutes.reset();
}

void dropIfDefault(std::optional<std::string>& value, std::string_view builtIn)
{
    if (value == builtIn)
        value.reset();
}

} // namespace

void Settings::normalize()
{
    migrateTimeColorMode(*this);
    migrateToIndependentColors(*this);
    buildPairedRules(*this);

    for (PairedColorRule& rule : *pairedRules)
        rule.hours = clamped(rule.hours, 0.1, 8760, 72);

    clampPresent(statusWidth, 120, 600, SettingsDefaults::statusWidth);
    clampPresent(statusPadding, 0, 20, SettingsDefaults::statusPadding);
    clampPresent(statusFontSize, 10, 16, SettingsDefaults::statusFontSize);
    clampPresent(transitionDuration, 0.1, 1.0, SettingsDefaults::transitionDuration);

    syncMinutes = std::clamp<std::int64_t>(syncMinutes, 5, 1440);
    for (double& seconds : durations)
        seconds = clamped(seconds, 1, 300, 5);

    std::erase_if(rules, [](const ColorRule& rule) { return !std::isfinite(rule.hours) || rule.hours <= 0; });
    for (ColorRule& rule : rules)
        rule.hours = std::min(rule.hours, 8760.0);
    // The older dot table is only kept, never read once the paired rules exist; a number that is
    // not finite goes all the same, since no file could hold it.
    if (dotRules)
        std::erase_if(*dotRules, [](const ColorRule& rule) { return !std::isfinite(rule.hours); });
    normalizeReminderMinutes(reminderMinutes);
    const Sites built = Sites::production();
    dropIfDefault(assessmentBaseURL, SiteAddress::stored(built.assessmentBaseURL, Site::assessment));
    dropIfDefault(canvasBaseURL, SiteAddress::stored(built.canvasBaseURL, Site::canvas));
    dropIfDefault(timeZone, Zone::defaultID);
}

std::string Settings::legacyDotHex(double seconds) const
{
    if (dotStyle == Modes::ColorChoice::fixed)
        return dotHex.value_or("FFFFFF");
    if (const ColorRule* rule = matchingRule(dotRules ? *dotRules : rules, seconds))
        return rule->hex;
    return dotOtherHex.value_or(otherHex);
}

std::string Settings::legacyTimeHex(double seconds) const
{
    const std::string mode = timeColorMode.value_or(Modes::ColorChoice::same);
    if (mode == Modes::ColorChoice::fixed)
        return timeHex.value_or("FFFFFF");
    if (mode == Modes::ColorChoice::rules) {
        const ColorRule* rule = matchingRule(rules, seconds);
        return rule ? rule->hex : otherHex;
    }
    return legacyDotHex(seconds);
}

Sites Settings::sites() const
{
    const Sites built = Sites::production();
    const auto chosen = [&](const std::optional<std::string>& address, Site site) {
        if (!address)
            return built.baseURL(site);
        const SiteAddress::Checked checked = SiteAddress::check(*address, site);
        return checked.usable() ? SiteAddress::baseURL(checked.address) : std::string{};
    };
    return {chosen(assessmentBaseURL, Site::assessment), chosen(canvasBaseURL, Site::canvas)};
}

std::string Settings::calendarServer() const
{
    if (!calendarServerURL)
        return {};
    const SiteAddress::Checked checked = SiteAddress::checkCollection(*calendarServerURL);
    return checked.usable() ? checked.address : std::string{};
}

Zone Settings::zone() const
{
    return timeZone ? Zone(*timeZone) : Zone();
}

const Course* Settings::course(std::string_view courseID) const
{
    const auto found = std::find_if(courses.begin(), courses.end(), [&](const Course& c) { return c.id == courseID; });
    return found == courses.end() ? nullptr : &*found;
}

std::string Settings::courseName(const std::string& courseID) const
{
    const Course* found = course(courseID);
    return found ? found->name : courseID;
}

Course Settings::coloredCourse(const Course& course) const
{
    if (uniformCourseColors != true)
        return course;
    Course colored = course;
    colored.colorHex = uniformCalendarHex.value_or("FFFFFF");
    colored.menuColorMode = uniformMenuMode.value_or(Modes::ColorSource::calendar);
    colored.menuColorHex = uniformMenuHex.value_or("FFFFFF");
    return colored;
}

const CategoryStyle* Settings::categoryStyle(const std::string& courseID, const std::string& category) const
{
    if (categoryStyles) {
        for (const std::string& key : {courseID + "|" + category, "all|" + category}) {
            if (const auto found = categoryStyles->find(key); found != categoryStyles->end())
                return &found->second;
        }
    }
    return nullptr;
}

std::string CategoryStyle::color(const Course& course, const std::string& urgency) const
{
    if (mode == Modes::ColorSource::calendar)
        return course.colorHex;
    if (mode == Modes::ColorSource::course)
        return course.menuHex(urgency);
    if (mode == Modes::ColorSource::custom)
        return hex;
    return urgency;
}

void writeJson(codec::JsonWriter& writer, const ColorRule& rule)
{
    writer.beginObject();
    codec::put(writer, "hex", rule.hex);
    codec::put(writer, "hours", rule.hours);
    codec::put(writer, "id", rule.id);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, ColorRule& rule)
{
    codec::requireObject(json, "ColorRule");
    rule.id = codec::required<std::string>(json, "id");
    rule.hours = codec::required<double>(json, "hours");
    rule.hex = codec::required<std::string>(json, "hex");
}

void writeJson(codec::JsonWriter& writer, const PairedColorRule& rule)
{
    writer.beginObject();
    codec::put(writer, "dotHex", rule.dotHex);
    codec::put(writer, "hours", rule.hours);
    codec::put(writer, "id", rule.id);
    codec::put(writer, "timeHex", rule.timeHex);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, PairedColorRule& rule)
{
    codec::requireObject(json, "PairedColorRule");
    rule.id = codec::required<std::string>(json, "id");
    rule.hours = codec::required<double>(json, "hours");
    rule.dotHex = codec::required<std::string>(json, "dotHex");
    rule.timeHex = codec::required<std::string>(json, "timeHex");
}

void writeJson(codec::JsonWriter& writer, const CategoryStyle& style)
{
    writer.beginObject();
    codec::put(writer, "hex", style.hex);
    codec::put(writer, "mode", style.mode);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, CategoryStyle& style)
{
    codec::requireObject(json, "CategoryStyle");
    style.mode = codec::required<std::string>(json, "mode");
    style.hex = codec::required<std::string>(json, "hex");
}

void writeJson(codec::JsonWriter& writer, const Settings& settings)
{
    writer.beginObject();
    codec::put(writer, "assessmentBaseURL", settings.assessmentBaseURL);
    codec::put(writer, "calendarServerAlarms", settings.calendarServerAlarms);
    codec::put(writer, "calendarServerURL", settings.calendarServerURL);
    codec::put(writer, "calendarServerUser", settings.calendarServerUser);
    codec::put(writer, "canvasBaseURL", settings.canvasBaseURL);
    codec::put(writer, "canvasEnabled", settings.canvasEnabled);
    codec::put(writer, "categoryStyles", settings.categoryStyles);
    codec::put(writer, "colorMode", settings.colorMode);
    codec::put(writer, "courses", settings.courses);
    codec::put(writer, "dotColorMode", settings.dotColorMode);
    codec::put(writer, "dotHex", settings.dotHex);
    codec::put(writer, "dotOtherHex", settings.dotOtherHex);
    codec::put(writer, "dotRules", settings.dotRules);
    codec::put(writer, "dotStyle", settings.dotStyle);
    codec::put(writer, "doubleClickOpensAssignment", settings.doubleClickOpensAssignment);
    codec::put(writer, "durations", settings.durations);
    codec::put(writer, "excludePerfect", settings.excludePerfect);
    codec::put(writer, "excludedCategories", settings.excludedCategories);
    codec::put(writer, "independentColors", settings.independentColors);
    codec::put(writer, "linkedTimeColors", settings.linkedTimeColors);
    codec::put(writer, "listSort", settings.listSort);
    codec::put(writer, "otherHex", settings.otherHex);
    codec::put(writer, "pairedOtherDot", settings.pairedOtherDot);
    codec::put(writer, "pairedOtherTime", settings.pairedOtherTime);
    codec::put(writer, "pairedRules", settings.pairedRules);
    codec::put(writer, "reminderMinutes", settings.reminderMinutes);
    codec::put(writer, "rules", settings.rules);
    codec::put(writer, "showProgress", settings.showProgress);
    codec::put(writer, "showReleases", settings.showReleases);
    codec::put(writer, "statusAlignment", settings.statusAlignment);
    codec::put(writer, "statusFontSize", settings.statusFontSize);
    codec::put(writer, "statusPadding", settings.statusPadding);
    codec::put(writer, "statusWidth", settings.statusWidth);
    codec::put(writer, "statusWidthMode", settings.statusWidthMode);
    codec::put(writer, "syncMinutes", settings.syncMinutes);
    codec::put(writer, "timeColorMode", settings.timeColorMode);
    codec::put(writer, "timeHex", settings.timeHex);
    codec::put(writer, "timeZone", settings.timeZone);
    codec::put(writer, "transitionDuration", settings.transitionDuration);
    codec::put(writer, "transitionStyle", settings.transitionStyle);
    codec::put(writer, "uniformCalendarHex", settings.uniformCalendarHex);
    codec::put(writer, "uniformCourseColors", settings.uniformCourseColors);
    codec::put(writer, "uniformMenuHex", settings.uniformMenuHex);
    codec::put(writer, "uniformMenuMode", settings.uniformMenuMode);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, Settings& settings)
{
    using codec::optional;
    using codec::required;
    using Styles = std::map<std::string, CategoryStyle>;
    codec::requireObject(json, "Settings");
    settings = Settings{
        .uniformCourseColors = optional<bool>(json, "uniformCourseColors"),
        .uniformCalendarHex = optional<std::string>(json, "uniformCalendarHex"),
        .uniformMenuMode = optional<std::string>(json, "uniformMenuMode"),
        .uniformMenuHex = optional<std::string>(json, "uniformMenuHex"),
        .canvasEnabled = optional<bool>(json, "canvasEnabled"),
        .categoryStyles = optional<Styles>(json, "categoryStyles"),
        .statusWidth = optional<double>(json, "statusWidth"),
        .statusWidthMode = optional<std::string>(json, "statusWidthMode"),
        .statusAlignment = optional<std::string>(json, "statusAlignment"),
        .statusPadding = optional<double>(json, "statusPadding"),
        .statusFontSize = optional<double>(json, "statusFontSize"),
        .transitionStyle = optional<std::string>(json, "transitionStyle"),
        .transitionDuration = optional<double>(json, "transitionDuration"),
        .syncMinutes = required<std::int64_t>(json, "syncMinutes"),
        .durations = required<std::vector<double>>(json, "durations"),
        .rules = required<std::vector<ColorRule>>(json, "rules"),
        .pairedRules = optional<std::vector<PairedColorRule>>(json, "pairedRules"),
        .pairedOtherDot = optional<std::string>(json, "pairedOtherDot"),
        .pairedOtherTime = optional<std::string>(json, "pairedOtherTime"),
        .linkedTimeColors = optional<bool>(json, "linkedTimeColors"),
        .independentColors = optional<bool>(json, "independentColors"),
        .dotStyle = optional<std::string>(json, "dotStyle"),
        .timeColorMode = optional<std::string>(json, "timeColorMode"),
        .timeHex = optional<std::string>(json, "timeHex"),
        .dotColorMode = optional<std::string>(json, "dotColorMode"),
        .dotHex = optional<std::string>(json, "dotHex"),
        .dotRules = optional<std::vector<ColorRule>>(json, "dotRules"),
        .dotOtherHex = optional<std::string>(json, "dotOtherHex"),
        .otherHex = required<std::string>(json, "otherHex"),
        .listSort = optional<std::string>(json, "listSort"),
        .doubleClickOpensAssignment = optional<bool>(json, "doubleClickOpensAssignment"),
        .showProgress = optional<bool>(json, "showProgress"),
        .colorMode = required<std::string>(json, "colorMode"),
        .excludePerfect = required<bool>(json, "excludePerfect"),
        .showReleases = required<bool>(json, "showReleases"),
        .excludedCategories = required<std::vector<std::string>>(json, "excludedCategories"),
        .courses = required<std::vector<Course>>(json, "courses"),
        .reminderMinutes = optional<std::vector<std::int64_t>>(json, "reminderMinutes"),
        .assessmentBaseURL = optional<std::string>(json, "assessmentBaseURL"),
        .canvasBaseURL = optional<std::string>(json, "canvasBaseURL"),
        .timeZone = optional<std::string>(json, "timeZone"),
        .calendarServerURL = optional<std::string>(json, "calendarServerURL"),
        .calendarServerUser = optional<std::string>(json, "calendarServerUser"),
        .calendarServerAlarms = optional<bool>(json, "calendarServerAlarms"),
    };
}

} // namespace vantory
