#include "model/Assessment.h"
#include "model/Course.h"

#include "support/RecordJson.h"
#include "support/SiteScope.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace vantory;
using nlohmann::json;

TEST(CourseJson, MissingOptionalsTakeTheirDefaults)
{
    const auto minimal = json::parse(R"({"id":"1","name":"313","enabled":true,"year":2025})").get<Course>();
    EXPECT_EQ(minimal, (Course{"1", "313", true, 2025, "313", "3B82F6", "calendar", "3B82F6"}));

    const auto coloured
        = json::parse(R"({"id":"1","name":"313","enabled":false,"year":2025,"colorHex":"22C55E","fullName":null})")
              .get<Course>();
    EXPECT_EQ(coloured.menuColorHex, "22C55E");
    EXPECT_EQ(coloured.fullName, "313");
}

TEST(RecordJson, WrongTypesAndMissingRequiredKeysFail)
{
    const char* failing[] = {
        R"({"id":"1","name":"313","enabled":true,"year":"2025"})",
        R"({"id":"1","name":"313","enabled":1,"year":2025})",
        R"({"id":"1","name":"313","enabled":true,"year":2025.5})",
        R"({"id":"1","name":"313","enabled":true,"year":1e30})",
        R"({"id":"1","name":"313","enabled":true})",
        R"({"id":"1","name":"313","enabled":true,"year":2025,"colorHex":7})",
        R"([])",
    };
    for (const char* text : failing)
        EXPECT_THROW(json::parse(text).get<Course>(), std::exception) << text;
    EXPECT_EQ(json::parse(R"({"id":"1","name":"313","enabled":true,"year":2025.0})").get<Course>().year, 2025);
    EXPECT_THROW(json::parse(R"({"credit":true,"start":"a","end":"b"})").get<AccessRule>(), std::exception);
    EXPECT_EQ(json::parse(R"({"credit":100,"start":"a","end":"b"})").get<AccessRule>().credit, 100.0);
}

TEST(AssessmentJson, RoundTripsRequiresEveryKeyAndLeavesAbsentOptionalsOut)
{
    const Assessment full{"1:Q1", "1", "Q1", "Quiz 1", "Quizzes", "Available", 87.5, "https://x/q1",
        instantFromSeconds(1.7e9), instantFromSeconds(1.75e9 + 0.25), "known", {{100, "start", "—"}},
        instantFromSeconds(1.76e9), true, false};
    EXPECT_EQ(json(full).get<Assessment>(), full);
    EXPECT_DOUBLE_EQ(json(full)["checkedAt"].get<double>(), 1.76e9 - referenceEpochOffset);
    for (const char* key : {"id", "courseID", "code", "title", "category", "availability", "deadlineStatus", "rules",
             "checkedAt", "missing"}) {
        json withoutKey = full;
        withoutKey.erase(key);
        EXPECT_THROW(withoutKey.get<Assessment>(), std::exception) << key;
    }

    Assessment bare = full;
    bare.score = std::nullopt;
    bare.url = std::nullopt;
    bare.release = bare.due = std::nullopt;
    bare.submitted = std::nullopt;
    const json encoded = bare;
    for (const char* key : {"score", "url", "release", "due", "submitted"})
        EXPECT_FALSE(encoded.contains(key)) << key;
    EXPECT_EQ(encoded.get<Assessment>(), bare);
}

TEST(PayloadJson, DecodesScriptResults)
{
    const auto payload = json::parse(R"json({"courseID":"7","courseHeading":"CPSC 313","rows":[
        {"code":"P1","title":"Pre","category":"Preclass","availability":"Not yet available","score":"—",
         "url":null,"rules":[{"credit":100,"start":"2025-09-08 14:00:00 (PDT)","end":"—"}]}]})json")
                             .get<PagePayload>();
    ASSERT_EQ(payload.rows.size(), 1u);
    EXPECT_FALSE(payload.rows[0].url.has_value());
    EXPECT_EQ(payload.rows[0].rules[0].end, "—");
    EXPECT_THROW(json::parse(R"({"courseID":"7","courseHeading":"x"})").get<PagePayload>(), std::exception);

    const auto assignment = json::parse(
        R"({"id":"5","title":"HW","category":"Assignments","url":"https://c/5","due":"2025-09-08T21:00:00Z"})")
                                .get<CanvasAssignment>();
    EXPECT_EQ(assignment.due, "2025-09-08T21:00:00Z");
    EXPECT_FALSE(assignment.release.has_value());
}

TEST(Assessment, ShortCategoryIgnoresCaseOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Formal Quizzes (Repeated For Practice)", "Quiz"},
        {"Tutorials", "Tutorial"},
        {"IN CLASS ACTIVITIES", "Inclass"},
        {"Quiz Information", "Quiz Info"},
        {"Programming Assignments", "Assignment"},
        {" tutorials", " tutorials"},
        {"Homework", "Homework"},
    };
    for (const auto& [category, label] : cases)
        EXPECT_EQ(Assessment{.category = category}.shortCategory(), label) << category;
}

TEST(Course, UrlsAndMenuColours)
{
    {
        const test::SiteScope sites;
        const Course canvas{.id = "canvas:1234"}, site{.id = "5678"};
        EXPECT_TRUE(canvas.isCanvas() && !site.isCanvas());
        EXPECT_EQ(canvas.sourceName(), "Canvas");
        EXPECT_EQ(site.sourceName(), "BrevaneLearn");
        EXPECT_EQ(canvas.url(), "https://canvas.test/courses/1234/assignments");
        EXPECT_EQ(site.url(), "https://learn.test/pl/course_instance/5678/assessments");
    }

    Course course{"1", "313", true, 2025, "", "111111", "calendar", "222222"};
    const std::pair<const char*, const char*> modes[]
        = {{"custom", "222222"}, {"urgency", "EF4444"}, {"calendar", "111111"}, {"Custom", "111111"}, {"", "111111"}};
    for (const auto& [mode, expected] : modes) {
        course.menuColorMode = mode;
        EXPECT_EQ(course.menuHex("EF4444"), expected) << mode;
    }
}
