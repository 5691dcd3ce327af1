#include "model/Settings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>

using namespace vantory;
using nlohmann::json;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

Settings minimalStoredSettings()
{
    return json::parse(R"({"syncMinutes":60,"durations":[10,5,5],
        "rules":[{"id":"A","hours":12,"hex":"EF4444"},{"id":"B","hours":36,"hex":"EAB308"}],
        "otherHex":"22C55E","colorMode":"text","excludePerfect":true,"showReleases":false,
        "excludedCategories":[],"courses":[]})")
        .get<Settings>();
}

} // namespace

TEST(SettingsJson, NineRequiredKeysSuffice)
{
    const Settings settings = minimalStoredSettings();
    EXPECT_FALSE(settings.showProgress.has_value());
    EXPECT_FALSE(settings.pairedRules.has_value());
    EXPECT_EQ(json(settings).size(), 9u);
    EXPECT_EQ(json(settings).get<Settings>(), settings);

    for (const char* key : {"syncMinutes", "durations", "rules", "otherHex", "colorMode", "excludePerfect",
                            "showReleases", "excludedCategories", "courses"}) {
        json withoutKey = settings;
        withoutKey.erase(key);
        EXPECT_THROW(withoutKey.get<Settings>(), std::exception) << key;
    }
}

TEST(SettingsNormalize, MigratesAnOldFileToThePairedTable)
{
    Settings settings = minimalStoredSettings();
    settings.normalize();
    EXPECT_EQ(settings.timeColorMode, "rules");
    ASSERT_TRUE(settings.dotRules.has_value());
    EXPECT_EQ(*settings.dotRules, settings.rules);
    EXPECT_EQ(settings.dotOtherHex, "22C55E");
    EXPECT_EQ(settings.dotStyle, "rules");
    EXPECT_EQ(settings.colorMode, "both");
    EXPECT_EQ(settings.independentColors, true);
    EXPECT_EQ(settings.linkedTimeColors, false);
    ASSERT_EQ(settings.pairedRules->size(), 2u);
    EXPECT_EQ((*settings.pairedRules)[0].hours, 12);
    EXPECT_EQ((*settings.pairedRules)[0].dotHex, "EF4444");
    EXPECT_EQ((*settings.pairedRules)[0].timeHex, "EF4444");
    EXPECT_EQ((*settings.pairedRules)[1].dotHex, "EAB308");
    EXPECT_EQ(settings.pairedOtherDot, "22C55E");
    EXPECT_EQ(settings.pairedOtherTime, "22C55E");

    Settings again = settings;
    again.normalize();
    EXPECT_EQ(again, settings);
}

TEST(SettingsNormalize, NewSettingsMatchTheWorkedExample)
{
    Settings settings;
    EXPECT_NE(settings.rules[0].id, Settings{}.rules[0].id);
    settings.normalize();
    EXPECT_EQ(*settings.dotRules, settings.rules);
    EXPECT_EQ(settings.pairedRules->size(), 2u);
    EXPECT_EQ(settings.pairedOtherDot, "22C55E");
}

TEST(SettingsNormalize, OlderDotModesMigrate)
{
    Settings fixedDot = minimalStoredSettings();
    fixedDot.dotColorMode = "fixed";
    fixedDot.dotHex = "123456";
    fixedDot.normalize();
    EXPECT_TRUE(fixedDot.dotRules->empty());
    EXPECT_EQ(fixedDot.dotOtherHex, "123456");
    // The dot has no thresholds of its own, so every paired rule's dot is the fixed colour.
    ASSERT_EQ(fixedDot.pairedRules->size(), 2u);
    EXPECT_EQ((*fixedDot.pairedRules)[0].dotHex, "123456");
    EXPECT_EQ((*fixedDot.pairedRules)[0].timeHex, "EF4444");

    Settings ruledDot = minimalStoredSettings();
    ruledDot.dotColorMode = "rules";
    ruledDot.normalize();
    EXPECT_TRUE(ruledDot.dotRules->empty());
    EXPECT_EQ(ruledDot.dotOtherHex, "FFFFFF");
    EXPECT_EQ(ruledDot.pairedOtherDot, "FFFFFF");
}

TEST(SettingsNormalize, FixedColoursGiveAnEmptyPresentTable)
{
    Settings settings = minimalStoredSettings();
    settings.independentColors = true;
    settings.dotStyle = "fixed";
    settings.timeColorMode = "fixed";
    settings.dotHex = "111111";
    settings.normalize();
    ASSERT_TRUE(settings.pairedRules.has_value());
    EXPECT_TRUE(settings.pairedRules->empty());
    EXPECT_EQ(settings.pairedOtherDot, "111111");
    EXPECT_EQ(settings.pairedOtherTime, "FFFFFF");
}

TEST(SettingsNormalize, EqualThresholdsGiveOnePairedRule)
{
    Settings settings = minimalStoredSettings();
    settings.rules = {{"A", 5, "111111"}, {"B", 5, "222222"}, {"C", notANumber, "333333"}, {"D", -1, "444444"}};
    settings.normalize();
    ASSERT_EQ(settings.pairedRules->size(), 1u);
    EXPECT_EQ((*settings.pairedRules)[0].hours, 5);
    EXPECT_EQ((*settings.pairedRules)[0].timeHex, "111111");
}

TEST(SettingsNormalize, ClampsNumbersIntoRange)
{
    Settings settings = minimalStoredSettings();
    settings.statusWidth = 90;
    settings.statusPadding = infinity;
    settings.statusFontSize = 30;
    settings.transitionDuration = notANumber;
    settings.syncMinutes = 0;
    settings.durations = {0.5, 400, notANumber, 7};
    settings.rules = {{"A", 0, "1"}, {"B", -2, "2"}, {"C", 10000, "3"}, {"D", infinity, "4"}, {"E", 2, "5"}};
    settings.pairedRules = std::vector<PairedColorRule>{{"P", 0.01, "1", "1"}, {"Q", notANumber, "2", "2"}, {"R", 9000, "3", "3"}};
    settings.normalize();

    EXPECT_EQ(settings.statusWidth, 120);
    EXPECT_EQ(settings.statusPadding, 6);
    EXPECT_EQ(settings.statusFontSize, 16);
    EXPECT_EQ(settings.transitionDuration, 0.3);
    EXPECT_EQ(settings.syncMinutes, 5);
    EXPECT_EQ(settings.durations, (std::vector<double>{1, 300, 5, 7}));
    ASSERT_EQ(settings.rules.size(), 2u);
    EXPECT_EQ(settings.rules[0].id, "C");
    EXPECT_EQ(settings.rules[0].hours, 8760);
    EXPECT_EQ(settings.rules[1].id, "E");
    EXPECT_EQ((*settings.pairedRules)[0].hours, 0.1);
    EXPECT_EQ((*settings.pairedRules)[1].hours, 72);
    EXPECT_EQ((*settings.pairedRules)[2].hours, 8760);

    for (const auto& [minutes, expected] : {std::pair<std::int64_t, std::int64_t>{2000, 1440}, {-3, 5}, {90, 90}}) {
        Settings other = minimalStoredSettings();
        other.syncMinutes = minutes;
        other.normalize();
        EXPECT_EQ(other.syncMinutes, expected);
    }
    Settings absent = minimalStoredSettings();
    absent.normalize();
    EXPECT_FALSE(absent.statusWidth.has_value());
}

TEST(Settings, ColoredCourseAndCategoryStyles)
{
    const Course course{"1", "313", true, 2025, "", "111111", "custom", "222222"};
    Settings settings;
    EXPECT_EQ(settings.coloredCourse(course), course);
    settings.uniformCourseColors = true;
    const Course uniform = settings.coloredCourse(course);
    EXPECT_EQ(uniform.colorHex, "FFFFFF");
    EXPECT_EQ(uniform.menuColorMode, "calendar");
    EXPECT_EQ(uniform.menuColorHex, "FFFFFF");
    EXPECT_EQ(uniform.name, course.name);

    const std::pair<CategoryStyle, const char*> styles[] = {
        {{"calendar", "333333"}, "111111"}, {{"course", "333333"}, "222222"}, {{"custom", "333333"}, "333333"},
        {{"Custom", "333333"}, "EF4444"},   {{"urgency", "333333"}, "EF4444"},
    };
    for (const auto& [style, expected] : styles)
        EXPECT_EQ(style.color(course, "EF4444"), expected) << style.mode;

    settings.categoryStyles = {{"all|Quiz", {"custom", "AAAAAA"}}, {"1|Quiz", {"custom", "BBBBBB"}}};
    EXPECT_EQ(settings.categoryStyle("1", "Quiz").hex, "BBBBBB");
    EXPECT_EQ(settings.categoryStyle("2", "Quiz").hex, "AAAAAA");
    EXPECT_EQ(settings.categoryStyle("2", "Lab"), CategoryStyle{});
}
