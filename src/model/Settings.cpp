#include "model/Settings.h"

#include "engine/Engine.h"
#include "model/JsonSupport.h"

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
    if (settings.dotColorMode == "fixed") {
        settings.dotRules = std::vector<ColorRule>{};
        settings.dotOtherHex = settings.dotHex.value_or("FFFFFF");
        settings.timeColorMode = "rules";
    } else if (settings.dotColorMode == "rules") {
        settings.dotRules = settings.dotRules.value_or(std::vector<ColorRule>{});
        settings.dotOtherHex = settings.dotOtherHex.value_or("FFFFFF");
        settings.timeColorMode = "rules";
    } else {
        settings.dotRules = settings.rules;
        settings.dotOtherHex = settings.otherHex;
        settings.timeColorMode = "same";
    }
}

// Step 2: separate dot and time colours.
void migrateToIndependentColors(Settings& settings)
{
    if (settings.independentColors == true)
        return;
    if (settings.timeColorMode == "same") {
        if (settings.dotRules)
            settings.rules = *settings.dotRules;
        if (settings.dotOtherHex)
            settings.otherHex = *settings.dotOtherHex;
        settings.timeColorMode = "rules";
    }
    settings.dotStyle = "rules";
    settings.colorMode = "both";
    settings.independentColors = true;
}

// Step 3: one paired table evaluated from the older colour fields at every threshold they name.
void buildPairedRules(Settings& settings)
{
    if (settings.pairedRules)
        return;
    std::vector<double> thresholds;
    if (settings.dotStyle != "fixed") {
        for (const ColorRule& rule : settings.dotRules ? *settings.dotRules : settings.rules)
            thresholds.push_back(rule.hours);
    }
    if (settings.timeColorMode != "fixed") {
        for (const ColorRule& rule : settings.rules)
            thresholds.push_back(rule.hours);
    }
    std::erase_if(thresholds, [](double hours) { return !std::isfinite(hours) || hours <= 0; });
    std::sort(thresholds.begin(), thresholds.end());
    thresholds.erase(std::unique(thresholds.begin(), thresholds.end()), thresholds.end());

    std::vector<PairedColorRule> paired;
    paired.reserve(thresholds.size());
    for (double hours : thresholds)
        paired.push_back({makeUuid(), hours, Engine::dotHex(hours * 3600, settings), Engine::hex(hours * 3600, settings)});

    constexpr double forever = std::numeric_limits<double>::infinity();
    settings.pairedOtherDot = Engine::dotHex(forever, settings);
    settings.pairedOtherTime = Engine::hex(forever, settings);
    settings.linkedTimeColors = false;
    settings.pairedRules = std::move(paired);
}

} // namespace

void Settings::normalize()
{
    migrateTimeColorMode(*this);
    migrateToIndependentColors(*this);
    buildPairedRules(*this);

    for (PairedColorRule& rule : *pairedRules)
        rule.hours = clamped(rule.hours, 0.1, 8760, 72);

    clampPresent(statusWidth, 120, 600, 280);
    clampPresent(statusPadding, 0, 20, 6);
    clampPresent(statusFontSize, 10, 16, 12);
    clampPresent(transitionDuration, 0.1, 1.0, 0.3);

    syncMinutes = std::clamp<std::int64_t>(syncMinutes, 5, 1440);
    for (double& seconds : durations)
        seconds = clamped(seconds, 1, 300, 5);

    std::erase_if(rules, [](const ColorRule& rule) { return !std::isfinite(rule.hours) || rule.hours <= 0; });
    for (ColorRule& rule : rules)
        rule.hours = std::min(rule.hours, 8760.0);
}

Course Settings::coloredCourse(const Course& course) const
{
    if (uniformCourseColors != true)
        return course;
    Course colored = course;
    colored.colorHex = uniformCalendarHex.value_or("FFFFFF");
    colored.menuColorMode = uniformMenuMode.value_or("calendar");
    colored.menuColorHex = uniformMenuHex.value_or("FFFFFF");
    return colored;
}

CategoryStyle Settings::categoryStyle(const std::string& courseID, const std::string& category) const
{
    if (categoryStyles) {
        for (const std::string& key : {courseID + "|" + category, "all|" + category}) {
            if (const auto found = categoryStyles->find(key); found != categoryStyles->end())
                return found->second;
        }
    }
    return CategoryStyle{};
}

std::string CategoryStyle::color(const Course& course, const std::string& urgency) const
{
    if (mode == "calendar")
        return course.colorHex;
    if (mode == "course")
        return course.menuHex(urgency);
    if (mode == "custom")
        return hex;
    return urgency;
}

void to_json(nlohmann::json& json, const ColorRule& rule)
{
    json = {{"id", rule.id}, {"hours", rule.hours}, {"hex", rule.hex}};
}

void from_json(const nlohmann::json& json, ColorRule& rule)
{
    codec::requireObject(json, "ColorRule");
    rule.id = codec::required<std::string>(json, "id");
    rule.hours = codec::required<double>(json, "hours");
    rule.hex = codec::required<std::string>(json, "hex");
}

void to_json(nlohmann::json& json, const PairedColorRule& rule)
{
    json = {{"id", rule.id}, {"hours", rule.hours}, {"dotHex", rule.dotHex}, {"timeHex", rule.timeHex}};
}

void from_json(const nlohmann::json& json, PairedColorRule& rule)
{
    codec::requireObject(json, "PairedColorRule");
    rule.id = codec::required<std::string>(json, "id");
    rule.hours = codec::required<double>(json, "hours");
    rule.dotHex = codec::required<std::string>(json, "dotHex");
    rule.timeHex = codec::required<std::string>(json, "timeHex");
}

void to_json(nlohmann::json& json, const CategoryStyle& style)
{
    json = {{"mode", style.mode}, {"hex", style.hex}};
}

void from_json(const nlohmann::json& json, CategoryStyle& style)
{
    codec::requireObject(json, "CategoryStyle");
    style.mode = codec::required<std::string>(json, "mode");
    style.hex = codec::required<std::string>(json, "hex");
}

void to_json(nlohmann::json& json, const Settings& settings)
{
    json = {{"syncMinutes", settings.syncMinutes},
            {"durations", settings.durations},
            {"rules", settings.rules},
            {"otherHex", settings.otherHex},
            {"colorMode", settings.colorMode},
            {"excludePerfect", settings.excludePerfect},
            {"showReleases", settings.showReleases},
            {"excludedCategories", settings.excludedCategories},
            {"courses", settings.courses}};
    codec::putOptional(json, "uniformCourseColors", settings.uniformCourseColors);
    codec::putOptional(json, "uniformCalendarHex", settings.uniformCalendarHex);
    codec::putOptional(json, "uniformMenuMode", settings.uniformMenuMode);
    codec::putOptional(json, "uniformMenuHex", settings.uniformMenuHex);
    codec::putOptional(json, "canvasEnabled", settings.canvasEnabled);
    codec::putOptional(json, "categoryStyles", settings.categoryStyles);
    codec::putOptional(json, "statusWidth", settings.statusWidth);
    codec::putOptional(json, "statusWidthMode", settings.statusWidthMode);
    codec::putOptional(json, "statusAlignment", settings.statusAlignment);
    codec::putOptional(json, "statusPadding", settings.statusPadding);
    codec::putOptional(json, "statusFontSize", settings.statusFontSize);
    codec::putOptional(json, "transitionStyle", settings.transitionStyle);
    codec::putOptional(json, "transitionDuration", settings.transitionDuration);
    codec::putOptional(json, "pairedRules", settings.pairedRules);
    codec::putOptional(json, "pairedOtherDot", settings.pairedOtherDot);
    codec::putOptional(json, "pairedOtherTime", settings.pairedOtherTime);
    codec::putOptional(json, "linkedTimeColors", settings.linkedTimeColors);
    codec::putOptional(json, "independentColors", settings.independentColors);
    codec::putOptional(json, "dotStyle", settings.dotStyle);
    codec::putOptional(json, "timeColorMode", settings.timeColorMode);
    codec::putOptional(json, "timeHex", settings.timeHex);
    codec::putOptional(json, "dotColorMode", settings.dotColorMode);
    codec::putOptional(json, "dotHex", settings.dotHex);
    codec::putOptional(json, "dotRules", settings.dotRules);
    codec::putOptional(json, "dotOtherHex", settings.dotOtherHex);
    codec::putOptional(json, "listSort", settings.listSort);
    codec::putOptional(json, "doubleClickOpensAssignment", settings.doubleClickOpensAssignment);
    codec::putOptional(json, "showProgress", settings.showProgress);
}

void from_json(const nlohmann::json& json, Settings& settings)
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
    };
}

} // namespace vantory
