#include "model/Settings.h"

#include "model/SiteAddress.h"

#include "support/RecordJson.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>
#include <tuple>

using namespace vantory;
using nlohmann::json;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// A file written before any of the optional keys existed.
Settings storedSettings()
{
    return json::parse(R"({"syncMinutes":60,"durations":[10,5,5],
        "rules":[{"id":"A","hours":12,"hex":"EF4444"},{"id":"B","hours":36,"hex":"EAB308"}],
        "otherHex":"22C55E","colorMode":"text","excludePerfect":true,"showReleases":false,
        "excludedCategories":[],"courses":[]})")
        .get<Settings>();
}

// The paired table without its generated ids: hours, dot and time colour per rule.
using Pairs = std::vector<std::tuple<double, std::string, std::string>>;
Pairs pairs(const Settings& settings)
{
    Pairs result;
    for (const PairedColorRule& rule : settings.pairedRules.value())
        result.emplace_back(rule.hours, rule.dotHex, rule.timeHex);
    return result;
}

} // namespace

TEST(SettingsJson, NineRequiredKeysSuffice)
{
    const Settings settings = storedSettings();
    EXPECT_FALSE(settings.showProgress.has_value() || settings.pairedRules.has_value());
    EXPECT_EQ(json(settings).size(), 9u);
    EXPECT_EQ(json(settings).get<Settings>(), settings);
    for (const char* key : {"syncMinutes", "durations", "rules", "otherHex", "colorMode", "excludePerfect",
             "showReleases", "excludedCategories", "courses"}) {
        json withoutKey = settings;
        withoutKey.erase(key);
        EXPECT_THROW(withoutKey.get<Settings>(), std::exception) << key;
    }
}

TEST(SettingsNormalize, MigratesAnOldFileOnceToIndependentColours)
{
    Settings settings = storedSettings();
    settings.normalize();
    EXPECT_EQ(settings.timeColorMode, "rules");
    EXPECT_EQ(settings.dotRules, settings.rules);
    EXPECT_EQ(settings.dotOtherHex, "22C55E");
    EXPECT_EQ(settings.dotStyle, "rules");
    EXPECT_EQ(settings.colorMode, "both");
    EXPECT_TRUE(settings.independentColors == true && settings.linkedTimeColors == false);
    Settings again = settings;
    again.normalize();
    EXPECT_EQ(again, settings);
    // Rules are told apart by id, so every new instance draws fresh ones.
    EXPECT_NE(Settings{}.rules[0].id, Settings{}.rules[0].id);
}

TEST(SettingsNormalize, BuildsThePairedTableFromOlderColourFields)
{
    const struct {
        const char* name;
        std::function<void(Settings&)> change;
        Pairs paired;
        const char* otherDot;
        const char* otherTime;
    } cases[] = {
        {"old file", {}, {{12, "EF4444", "EF4444"}, {36, "EAB308", "EAB308"}}, "22C55E", "22C55E"},
        // A fixed dot has no thresholds of its own, so every rule's dot is the fixed colour.
        {"fixed dot", [](Settings& s) { s.dotColorMode = "fixed", s.dotHex = "123456"; },
            {{12, "123456", "EF4444"}, {36, "123456", "EAB308"}}, "123456", "22C55E"},
        {"ruled dot without rules", [](Settings& s) { s.dotColorMode = "rules"; },
            {{12, "FFFFFF", "EF4444"}, {36, "FFFFFF", "EAB308"}}, "FFFFFF", "22C55E"},
        // The older fields are only ever read here, so their own fallbacks are checked through the migration.
        {"time follows a fixed dot",
            [](Settings& s) { s.independentColors = true, s.dotStyle = "fixed", s.dotHex = "123456"; },
            {{12, "123456", "123456"}, {36, "123456", "123456"}}, "123456", "123456"},
        {"fixed time, dot on the time rules",
            [](Settings& s) {
                s.independentColors = true, s.dotStyle = "rules", s.timeColorMode = "fixed", s.timeHex = "7F0000";
            },
            {{12, "EF4444", "7F0000"}, {36, "EAB308", "7F0000"}}, "22C55E", "7F0000"},
        {"fixed colours",
            [](Settings& s) {
                s.independentColors = true, s.dotStyle = s.timeColorMode = "fixed", s.dotHex = "111111";
            },
            {}, "111111", "FFFFFF"},
        {"equal and unusable thresholds",
            [](Settings& s) {
                s.rules = {{"A", 5, "111111"}, {"B", 5, "2"}, {"C", notANumber, "3"}, {"D", -1, "4"}};
            },
            {{5, "111111", "111111"}}, "22C55E", "22C55E"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings = storedSettings();
        if (c.change)
            c.change(settings);
        settings.normalize();
        EXPECT_EQ(pairs(settings), c.paired);
        EXPECT_EQ(settings.pairedOtherDot, c.otherDot);
        EXPECT_EQ(settings.pairedOtherTime, c.otherTime);
    }
}

TEST(SettingsNormalize, ClampsNumbersIntoRange)
{
    Settings settings = storedSettings();
    settings.statusWidth = 90;
    settings.statusPadding = infinity;
    settings.statusFontSize = 30;
    settings.transitionDuration = notANumber;
    settings.durations = {0.5, 400, notANumber, 7};
    settings.rules = {{"A", 0, "1"}, {"B", -2, "2"}, {"C", 10000, "3"}, {"D", infinity, "4"}, {"E", 2, "5"}};
    settings.pairedRules
        = std::vector<PairedColorRule>{{"P", 0.01, "1", "1"}, {"Q", notANumber, "2", "2"}, {"R", 9000, "3", "3"}};
    settings.normalize();

    EXPECT_EQ(settings.statusWidth, 120);
    EXPECT_EQ(settings.statusPadding, 6);
    EXPECT_EQ(settings.statusFontSize, 16);
    EXPECT_EQ(settings.transitionDuration, 0.3);
    EXPECT_EQ(settings.durations, (std::vector<double>{1, 300, 5, 7}));
    ASSERT_EQ(settings.rules.size(), 2u);
    EXPECT_EQ(settings.rules[0].id + settings.rules[1].id, "CE");
    EXPECT_EQ(settings.rules[0].hours, 8760);
    EXPECT_EQ(pairs(settings), (Pairs{{0.1, "1", "1"}, {72, "2", "2"}, {8760, "3", "3"}}));

    const std::pair<std::int64_t, std::int64_t> syncMinutes[] = {{0, 5}, {-3, 5}, {2000, 1440}, {90, 90}};
    for (const auto& [minutes, clamped] : syncMinutes) {
        Settings other = storedSettings();
        other.syncMinutes = minutes;
        other.normalize();
        EXPECT_EQ(other.syncMinutes, clamped) << minutes;
        EXPECT_FALSE(other.statusWidth.has_value()) << "an absent number stays absent";
    }
}

TEST(Settings, ColoredCourseAndCategoryStyles)
{
    const Course course{"1", "313", true, 2025, "", "111111", "custom", "222222"};
    Settings settings;
    EXPECT_EQ(settings.coloredCourse(course), course);
    settings.uniformCourseColors = true;
    EXPECT_EQ(settings.coloredCourse(course), (Course{"1", "313", true, 2025, "", "FFFFFF", "calendar", "FFFFFF"}));

    const std::pair<CategoryStyle, const char*> styles[] = {
        {{"calendar", "333333"}, "111111"},
        {{"course", "333333"}, "222222"},
        {{"custom", "333333"}, "333333"},
        {{"Custom", "333333"}, "EF4444"},
        {{"urgency", "333333"}, "EF4444"},
    };
    for (const auto& [style, expected] : styles)
        EXPECT_EQ(style.color(course, "EF4444"), expected) << style.mode;

    settings.categoryStyles = {{"all|Quiz", {"custom", "AAAAAA"}}, {"1|Quiz", {"custom", "BBBBBB"}}};
    EXPECT_EQ(settings.categoryStyle("1", "Quiz")->hex, "BBBBBB");
    EXPECT_EQ(settings.categoryStyle("2", "Quiz")->hex, "AAAAAA");
    EXPECT_EQ(settings.categoryStyle("2", "Lab"), nullptr);
}

TEST(SiteAddress, ChecksAndNormalisesWhatAStudentTypes)
{
    const std::string longHost = std::string(300, 'a') + ".edu";
    struct Case {
        std::string input;
        Site site;
        std::string address; // empty with a problem: refused
        bool refused;
    };
    const Case cases[] = {
        {"  https://Canvas.School.edu/ ", Site::canvas, "https://canvas.school.edu", false},
        {"https://learn.school.edu", Site::assessment, "https://learn.school.edu/", false},
        {"learn.school.edu", Site::assessment, "https://learn.school.edu/", false},
        {"HTTPS://learn.school.edu:443/", Site::assessment, "https://learn.school.edu/", false},
        {"https://learn.school.edu:8443", Site::canvas, "https://learn.school.edu:8443", false},
        {"https://bücher.example", Site::canvas, "https://xn--bcher-kva.example", false},
        {"http://127.0.0.1:8080/", Site::assessment, "http://127.0.0.1:8080/", false},
        {"http://localhost:9000", Site::canvas, "http://localhost:9000", false},
        {"http://[::1]:9000", Site::canvas, "http://[::1]:9000", false},
        {"", Site::canvas, "", false},
        {"   ", Site::assessment, "", false},
        {"http://learn.school.edu", Site::assessment, "", true},
        {"http://127.0.0.1.evil.com/", Site::assessment, "", true},
        {"http://", Site::assessment, "", true},
        {"https://", Site::canvas, "", true},
        {"javascript:alert(1)", Site::canvas, "", true},
        {"ftp://learn.school.edu", Site::canvas, "", true},
        {"https://user@learn.school.edu", Site::canvas, "", true},
        {"https://user:pw@learn.school.edu/", Site::assessment, "", true},
        {"https://learn.school.edu/?a=1", Site::assessment, "", true},
        {"https://learn.school.edu/#x", Site::assessment, "", true},
        {"https://canvas.school.edu/courses", Site::canvas, "", true},
        {"https://learn school.edu", Site::assessment, "", true},
        {"https://learn.school.edu\n/", Site::assessment, "", true},
        {"https://learn.school.edu\x7f", Site::assessment, "", true},
        {"https://\u202Eude.loohcs.nrael", Site::assessment, "", true},
        {"https://learn.school.edu\u200F", Site::assessment, "", true},
        {"https://" + longHost, Site::canvas, "", true},
        {"https://learn.school.edu:0", Site::canvas, "", true},
        {"https://learn.school.edu:65536", Site::canvas, "", true},
        {"https://learn.school.edu:8x", Site::canvas, "", true},
        {"https://[2001:db8::1]/", Site::canvas, "", true},
        {"https://a..b/", Site::canvas, "", true},
        {"https://learn.school.edu\\@evil.com", Site::canvas, "", true},
        {std::string("https://learn.school.edu\xff"), Site::canvas, "", true},
    };
    for (const Case& entry : cases) {
        const SiteAddress::Checked checked = SiteAddress::check(entry.input, entry.site);
        EXPECT_EQ(checked.address, entry.address) << entry.input;
        EXPECT_EQ(!checked.usable(), entry.refused) << entry.input << ": " << checked.problem;
    }
}

TEST(SiteAddress, StoredOnlyWhileNotTheBuildsAndReadBackAsSites)
{
    const Sites built = Sites::production();
    Settings settings = storedSettings();
    settings.assessmentBaseURL = SiteAddress::stored(built.assessmentBaseURL, Site::assessment);
    settings.canvasBaseURL = "https://canvas.other.edu";
    settings.timeZone = "America/Vancouver";
    settings.normalize();
    EXPECT_EQ(settings.assessmentBaseURL, std::nullopt) << "the build's address is left out of the file";
    EXPECT_EQ(settings.timeZone, std::nullopt);
    EXPECT_EQ(settings.sites(), (Sites{built.assessmentBaseURL, "https://canvas.other.edu"}));

    settings.assessmentBaseURL = "";
    settings.canvasBaseURL = "javascript:alert(1)";
    EXPECT_EQ(settings.sites(), Sites{}) << "an empty address is no site; one that fails its check is none either";
}
