#include "model/Assessment.h"
#include "model/Course.h"
#include "model/Rgb.h"
#include "model/Settings.h"
#include "model/SiteAddress.h"

#include "support/RecordJson.h"
#include "support/SiteScope.h"

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

// A file without any one of these keys is refused rather than read with a default.
template <typename Record> void expectEachKeyRequired(const json& full, std::initializer_list<const char*> keys)
{
    for (const char* key : keys) {
        json withoutKey = full;
        withoutKey.erase(key);
        EXPECT_THROW(withoutKey.get<Record>(), std::exception) << key;
    }
}

} // namespace

TEST(RecordJson, OptionalsTakeDefaultsAndWrongTypesFail)
{
    EXPECT_EQ(json::parse(R"({"id":"1","name":"313","enabled":true,"year":2025.0})").get<Course>(),
        (Course{"1", "313", true, 2025, "313", "3B82F6", "calendar", "3B82F6"}));
    const auto coloured
        = json::parse(R"({"id":"1","name":"313","enabled":false,"year":2025,"colorHex":"22C55E","fullName":null})")
              .get<Course>();
    EXPECT_EQ(coloured.menuColorHex + coloured.fullName, "22C55E313");

    for (const char* text : {R"({"id":"1","name":"313","enabled":true,"year":"2025"})",
             R"({"id":"1","name":"313","enabled":1,"year":2025})",
             R"({"id":"1","name":"313","enabled":true,"year":2025.5})",
             R"({"id":"1","name":"313","enabled":true,"year":1e30})", R"({"id":"1","name":"313","enabled":true})",
             R"({"id":"1","name":"313","enabled":true,"year":2025,"colorHex":7})", "[]"})
        EXPECT_THROW(json::parse(text).get<Course>(), std::exception) << text;
    EXPECT_THROW(json::parse(R"({"credit":true,"start":"a","end":"b"})").get<AccessRule>(), std::exception);
    EXPECT_THROW(json::parse(R"({"courseID":"7","courseHeading":"x"})").get<PagePayload>(), std::exception);
    EXPECT_FALSE(
        json::parse(R"({"code":"P","title":"","category":"","availability":"","score":"","url":null,"rules":[]})")
            .get<RawAssessment>()
            .url);
}

TEST(RecordJson, AssessmentRoundTripsRequiresEveryKeyAndLeavesAbsentOptionalsOut)
{
    const Assessment full{"1:Q1", "1", "Q1", "Quiz 1", "Quizzes", "Available", 87.5, "https://x/q1",
        instantFromSeconds(1.7e9), instantFromSeconds(1.75e9 + 0.25), "known", {{100, "start", "—"}},
        instantFromSeconds(1.76e9), true, false};
    EXPECT_EQ(json(full).get<Assessment>(), full);
    EXPECT_DOUBLE_EQ(json(full)["checkedAt"].get<double>(), 1.76e9 - referenceEpochOffset);
    expectEachKeyRequired<Assessment>(full,
        {"id", "courseID", "code", "title", "category", "availability", "deadlineStatus", "rules", "checkedAt",
            "missing"});
    const Assessment bare{.id = "1:Q1", .checkedAt = instantFromSeconds(0)};
    for (const char* key : {"score", "url", "release", "due", "submitted"})
        EXPECT_FALSE(json(bare).contains(key)) << key;
    EXPECT_EQ(json(bare).get<Assessment>(), bare);
}

TEST(Records, ShortCategoryUrlsAndMenuColours)
{
    const std::pair<const char*, const char*> categories[] = {{"Formal Quizzes (Repeated For Practice)", "Quiz"},
        {"Tutorials", "Tutorial"}, {"IN CLASS ACTIVITIES", "Inclass"}, {"Quiz Information", "Quiz Info"},
        {"Programming Assignments", "Assignment"}, {" tutorials", " tutorials"}, {"Homework", "Homework"}};
    for (const auto& [category, label] : categories)
        EXPECT_EQ(Assessment{.category = category}.shortCategory(), label) << category;

    {
        const test::SiteScope sites;
        const Course canvas{.id = "canvas:1234"}, site{.id = "5678"};
        EXPECT_EQ(canvas.sourceName() + site.sourceName(), "CanvasBrevaneLearn");
        EXPECT_EQ(canvas.url(), "https://canvas.test/courses/1234/assignments");
        EXPECT_EQ(site.url(), "https://learn.test/pl/course_instance/5678/assessments");
    }
    Course course{"1", "313", true, 2025, "", "111111", "calendar", "222222"};
    const std::pair<const char*, const char*> modes[]
        = {{"custom", "222222"}, {"urgency", "EF4444"}, {"calendar", "111111"}, {"Custom", "111111"}};
    for (const auto& [mode, expected] : modes) {
        course.menuColorMode = mode;
        EXPECT_EQ(course.menuHex("EF4444"), expected) << mode;
    }
    course.menuColorMode = "custom"; // a category styled "course" takes the course's menu colour
    const std::pair<const char*, const char*> styles[] = {{"calendar", "111111"}, {"course", "222222"},
        {"custom", "333333"}, {"Custom", "EF4444"}, {"urgency", "EF4444"}};
    for (const auto& [mode, expected] : styles)
        EXPECT_EQ((CategoryStyle{mode, "333333"}.color(course, "EF4444")), expected) << mode;
    Settings settings;
    EXPECT_EQ(settings.coloredCourse(course), course);
    settings.uniformCourseColors = true;
    EXPECT_EQ(settings.coloredCourse(course), (Course{"1", "313", true, 2025, "", "FFFFFF", "calendar", "FFFFFF"}));
}

TEST(Rgb, ParsesHexTextAndFormatsItBack)
{
    const std::pair<const char*, const char*> cases[]
        = {{"#3b82f6", "3B82F6"}, {"##3B#82F6", "3B82F6"}, {"", "22C55E"}, {"0x3B82F6", "22C55E"}, {"GGGGGG", "22C55E"},
            {"FF3B82F6", "3B82F6"}, {"-1", "22C55E"}, {"FFFFFFFFFFFFFFFFF", "22C55E"}, {"fff", "000FFF"}};
    for (const auto& [text, hex] : cases)
        EXPECT_EQ(Rgb::fromHex(text).hex(), hex) << text;
    // Every channel value survives the round trip through text, none losing one to floating-point error.
    for (double value = 0; value < 256; ++value)
        EXPECT_EQ(Rgb::fromHex(Rgb{value / 255, 0, value / 255}.hex()), (Rgb{value / 255, 0, value / 255})) << value;
}

TEST(Settings, NineRequiredKeysSufficeAndAnOldFileMigratesOnce)
{
    Settings settings = storedSettings();
    EXPECT_EQ(json(settings).size(), 9u);
    expectEachKeyRequired<Settings>(settings,
        {"syncMinutes", "durations", "rules", "otherHex", "colorMode", "excludePerfect", "showReleases",
            "excludedCategories", "courses"});
    settings.normalize();
    EXPECT_EQ(
        settings.timeColorMode.value_or("") + settings.dotStyle.value_or("") + settings.colorMode, "rulesrulesboth");
    EXPECT_EQ(settings.dotRules, settings.rules);
    EXPECT_EQ(settings.dotOtherHex, "22C55E");
    EXPECT_TRUE(settings.independentColors == true && settings.linkedTimeColors == false);
    Settings again = settings;
    again.normalize();
    EXPECT_EQ(again, settings);
    // Rules are told apart by id, so every new instance draws fresh ones.
    EXPECT_NE(Settings{}.rules[0].id, Settings{}.rules[0].id);
}

TEST(Settings, NormalizeBuildsThePairedTableFromOlderColourFields)
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

TEST(Settings, NormalizeClampsNumbersIntoRange)
{
    Settings settings = storedSettings();
    settings.statusWidth = 90;
    settings.statusPadding = infinity;
    settings.statusFontSize = 30;
    settings.transitionDuration = notANumber;
    settings.durations = {0.5, 400, notANumber, 7};
    settings.rules = {{"A", 0, "1"}, {"B", -2, "2"}, {"C", 10000, "3"}, {"D", infinity, "4"}, {"E", 2, "5"}};
    settings.timeColorMode = "rules"; // a file that already has its own dot table
    settings.dotRules = std::vector<ColorRule>{{"A", notANumber, "111111"}, {"B", 5, "222222"}};
    settings.pairedRules
        = std::vector<PairedColorRule>{{"P", 0.01, "1", "1"}, {"Q", notANumber, "2", "2"}, {"R", 9000, "3", "3"}};
    settings.normalize();

    EXPECT_EQ(
        std::tuple(*settings.statusWidth, *settings.statusPadding, *settings.statusFontSize), std::tuple(120, 6, 16));
    EXPECT_EQ(settings.transitionDuration, 0.3);
    EXPECT_EQ(settings.durations, (std::vector<double>{1, 300, 5, 7}));
    ASSERT_EQ(settings.rules.size(), 2u);
    EXPECT_EQ(settings.rules[0].id + settings.rules[1].id, "CE");
    EXPECT_EQ(settings.rules[0].hours, 8760);
    ASSERT_EQ(settings.dotRules->size(), 1u);
    EXPECT_EQ(settings.dotRules->front().id, "B");
    EXPECT_EQ(pairs(settings), (Pairs{{0.1, "1", "1"}, {72, "2", "2"}, {8760, "3", "3"}}));

    for (const auto& [minutes, clamped] : {std::pair<std::int64_t, std::int64_t>{0, 5}, {-3, 5}, {2000, 1440}}) {
        Settings other = storedSettings();
        other.syncMinutes = minutes;
        other.normalize();
        EXPECT_EQ(other.syncMinutes, clamped) << minutes;
        EXPECT_FALSE(other.statusWidth.has_value()) << "an absent number stays absent";
    }
}

TEST(SiteAddress, ChecksAndNormalisesWhatAStudentTypes)
{
    const std::tuple<std::string, Site, std::string> accepted[] = {
        {"  https://Canvas.School.edu/ ", Site::canvas, "https://canvas.school.edu"},
        {"learn.school.edu", Site::assessment, "https://learn.school.edu/"},
        {"HTTPS://learn.school.edu:443/", Site::assessment, "https://learn.school.edu/"},
        {"https://learn.school.edu:8443", Site::canvas, "https://learn.school.edu:8443"},
        {"https://bücher.example", Site::canvas, "https://xn--bcher-kva.example"},
        {"http://127.0.0.1:8080/", Site::assessment, "http://127.0.0.1:8080/"},
        {"http://localhost:9000", Site::canvas, "http://localhost:9000"},
        {"http://[::1]:9000", Site::canvas, "http://[::1]:9000"},
        {"   ", Site::assessment, ""}, // no site, and no problem
    };
    for (const auto& [input, site, address] : accepted) {
        EXPECT_EQ(SiteAddress::check(input, site).address, address) << input;
        EXPECT_TRUE(SiteAddress::check(input, site).usable()) << input;
    }
    const std::string refused[] = {"http://learn.school.edu", "http://127.0.0.1.evil.com/", "https://",
        "javascript:alert(1)", "ftp://learn.school.edu", "https://user:pw@learn.school.edu/",
        "https://learn.school.edu/?a=1", "https://learn.school.edu/#x", "https://canvas.school.edu/courses",
        "https://learn school.edu", "https://learn.school.edu\n/", "https://learn.school.edu\x7f",
        "https://\u202Eude.loohcs.nrael", "https://" + std::string(300, 'a') + ".edu", "https://learn.school.edu:0",
        "https://learn.school.edu:65536", "https://learn.school.edu:8x", "https://[2001:db8::1]/", "https://a..b/",
        "https://learn.school.edu\\@evil.com", "https://learn.school.edu\xff"};
    for (const std::string& input : refused)
        for (Site site : {Site::canvas, Site::assessment}) {
            const SiteAddress::Checked checked = SiteAddress::check(input, site);
            EXPECT_TRUE(checked.address.empty() && !checked.usable()) << input;
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
