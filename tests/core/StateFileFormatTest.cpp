#include "model/JsonTextWriter.h"
#include "model/StateFile.h"

#include "support/RecordJson.h"

#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

using namespace vantory;

namespace {

std::string nlohmannDump(const Database& database)
{
    return nlohmann::json(database).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::optional<Database> decodeText(const std::string& text)
{
    std::istringstream stream(text);
    try {
        return StateFile::decode(stream, text.size());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<Database> decodeThroughTree(const std::string& text)
{
    try {
        return nlohmann::json::parse(text).get<Database>();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

TEST(StateFileFormat, WritesTheBytesNlohmannPrintsForTheSameTree)
{
    Database full;
    // Escapes, control characters, and invalid UTF-8 of every kind nlohmann replaces by U+FFFD.
    const std::string title = "퀴즈 \"1\" \\ 복습\t\x01\x7f";
    const std::string category = "Quizzes\xC3(\xE2\x82(\xE0\x80\xED\xA0\x80\xF4\x90\xF0\x9F\x98";
    full.assessments.push_back({"1:Q1", "1", "Q1", title, category, "", 87.5, "https://x/q?a=1&b=2",
        instantFromSeconds(1.7e9), instantFromSeconds(1.75e9 + 0.1), "known",
        {{-0.0, "2025-09-08 14:00:00 (PDT)", "—"}, {1e21, "", "\xF0\x9F\x98\x80"}}, instantFromSeconds(1.76e9), true,
        false});
    full.assessments.push_back({.id = "2:A", .courseID = "2", .checkedAt = instantFromSeconds(0), .missing = true});
    full.overrides = {{"1:Q1", {true, false, instantFromSeconds(1.8e9)}}, {"2:A", {false, true, std::nullopt}}};
    full.lastSync = {{"1", instantFromSeconds(1764800000.75)}, {"한국", instantFromSeconds(-1e-7)}};
    Settings& settings = full.settings;
    settings.courses.push_back({"canvas:7", "운영체제", true, 2026, "운영체제 (Canvas)", "EF4444", "custom", "22C55E"});
    settings.normalize(); // fills the paired table and the migrated colour fields
    settings.uniformCourseColors = settings.canvasEnabled = settings.doubleClickOpensAssignment = true;
    settings.uniformCalendarHex = settings.uniformMenuHex = settings.timeHex = settings.dotHex = "FFFFFF";
    settings.uniformMenuMode = settings.dotColorMode = "urgency";
    settings.categoryStyles = {{"all|Quizzes", {"custom", "A855F7"}}, {"canvas:7|Labs", {}}};
    settings.statusWidth = 280.25;
    settings.statusPadding = 6;
    settings.statusFontSize = 1.0 / 3;
    settings.transitionDuration = 0.3;
    settings.statusWidthMode = settings.statusAlignment = settings.transitionStyle = settings.listSort = "x";
    settings.excludedCategories = {"Labs", ""};
    settings.reminderMinutes = {{15, 1440}};
    full.reminders = {{{"1:Q1", {instantFromSeconds(1.75e9 + 0.1), 15}}, {"gone", {}}}};

    Database bare;
    bare.settings.durations.clear();
    bare.settings.rules.clear();
    bare.settings.showProgress.reset();

    for (const Database* database : {&full, &bare})
        EXPECT_EQ(StateFile::encode(*database), nlohmannDump(*database));
}

// The state file's parser fills its own compact tree from nlohmann's SAX events: it must accept,
// reject and resolve repeated keys exactly as nlohmann::json::parse followed by from_json does.
TEST(StateFileFormat, ReadsWithTheRulesOfTheNlohmannTree)
{
    const std::string members
        = R"("assessments":[],"lastSync":{},"overrides":{},"settings":{"colorMode":"text","courses":[],)"
          R"("durations":[10],"excludePerfect":true,"excludedCategories":[],"otherHex":"22C55E","rules":[],)"
          R"("showReleases":false,"syncMinutes":60})";
    const auto document = [&](const std::string& more) { return "{" + members + "," + more + "}"; };
    const struct {
        std::string text;
        bool decodes;
    } cases[] = {
        {document(R"("version":1)"), true},
        {document(R"("version":"1","version":2)"), true}, // the last of a repeated key counts
        {document(R"("version":2,"version":"1")"), false},
        {document(R"("version":5.0)"), true},
        {document(R"("version":5.5)"), false},
        {document(R"("version":-0)"), true},
        {document(R"("version":9223372036854775808)"), false},
        {document(R"("version":1e400)"), false},
        {document(R"("version":1,"lastSync":{"a":-1e400})"), false}, // a page's infinity never gets in
        {document(R"("version":1,"extra":[[[{"a":[null,1e308,"\ud83d\ude00"]}]]])"), true},
        {document(R"("version":1,"overrides":{"b":{"completed":1},"a":{"completed":true,"hidden":false},)"
                  R"("b":{"completed":false,"hidden":true,"due":5}})"),
            true},
        {document(R"("version":1,"lastSync":{"b":1.5,"a":2,"b":3})"), true},
        {document(R"("version":1,"assessments":{})"), false},
        {"\xEF\xBB\xBF" + document(R"("version":1)"), true},
        {document(R"("version":1)") + " \n", true},
        {document(R"("version":1)") + " x", false},
        {document("\"version\":1,\"extra\":\"\xFF\""), false},
        {document(R"("version":1,"extra":"\ud800")"), false},
        {"", false},
    };
    for (const auto& [text, decodes] : cases) {
        const auto decoded = decodeText(text);
        EXPECT_EQ(decoded.has_value(), decodes) << text;
        EXPECT_EQ(decoded, decodeThroughTree(text)) << text;
    }
}

// Dates (seconds since 2001 with millisecond parts), hours, points and sizes print exactly as
// nlohmann prints them. Its Grisu2 digits are shortest but not always the closest, so for a few
// 17-digit values the last digit may differ; both texts read back as the same double.
TEST(StateFileFormat, WritesDoublesWithNlohmannsLayoutAndExactRoundTrip)
{
    std::vector<double> realistic{0.0, -0.0, 5, 0.1, 1e-4, 1.5e-5, 1e15, 1e16, 123456789012345.6, 1e21, 780000000,
        -1764800000.75, 5e-324, 1.7976931348623157e308, 2.5e-7, 100000, 0.001234};
    std::mt19937_64 random(20261206);
    for (int i = 0; i < 20000; ++i) {
        realistic.push_back(std::round(std::uniform_real_distribution(-1e9, 1e9)(random) * 1000) / 1000);
        realistic.push_back(std::round(std::uniform_real_distribution(0.0, 8760.0)(random) * 100) / 100);
    }
    for (double value : realistic) {
        std::string text;
        codec::JsonTextWriter(text).number(value);
        ASSERT_EQ(text, nlohmann::json(value).dump()) << std::hexfloat << value;
    }
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        std::string text;
        codec::JsonTextWriter(text).number(value);
        ASSERT_EQ(nlohmann::json::parse(text).get<double>(), value) << text;
        ASSERT_NE(text.find_first_of(".e"), std::string::npos) << "reads back as a double: " << text;
    }
}
