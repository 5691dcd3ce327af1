#include "engine/Engine.h"

#include "model/Dates.h"

#include <gtest/gtest.h>

using namespace vantory;

namespace {

const std::string early = "2025-09-01 10:00:00 (PDT)";
const std::string start = "2025-09-08 14:00:00 (PDT)";
const std::string end = "2025-09-15 23:59:00 (PDT)";
const std::string later = "2025-09-20 23:59:00 (PDT)";
const Instant now = instantFromSeconds(1.75e9);

Instant at(const std::string& text)
{
    return *Dates::exact(text);
}

Assessment item(const std::string& courseID, const std::string& code, std::optional<Instant> due = {},
                const std::string& status = "known")
{
    return Assessment{.id = courseID + ":" + code, .courseID = courseID, .code = code, .due = due,
                      .deadlineStatus = status};
}

} // namespace

TEST(Merge, BuildsDeadlineFromFullCreditRules)
{
    struct Case {
        const char* name;
        std::vector<AccessRule> rules;
        std::string availability;
        std::string status;
        std::optional<Instant> due, release;
    };
    const Case cases[] = {
        {"0% rule ignored", {{0, early, later}, {100, start, end}}, "", "known", at(end), at(start)},
        {"latest end, earliest start", {{100, start, end}, {120, early, later}}, "", "known", at(later), at(early)},
        {"dash end is open", {{100, start, end}, {100, start, "\u2014"}}, "", "unlimited", {}, at(start)},
        {"empty end is open", {{100, start, ""}}, "", "unlimited", {}, at(start)},
        {"unreadable end", {{100, start, end}, {100, start, "soon"}}, "", "parse-error", {}, at(start)},
        {"unreadable start uses availability", {{100, "x", end}}, "Available 14:00, Mon, Sep 8", "known", at(end),
         Dates::release("Available 14:00, Mon, Sep 8", 2025)},
        {"99.9% is not full credit", {{99.9, start, end}}, "Not yet available", "unreleased", {}, {}},
        {"release from availability", {}, "Available 14:00, Mon, Sep 8", "unreleased", {},
         Dates::release("Available 14:00, Mon, Sep 8", 2025)},
        {"unreadable availability", {}, "Available whenever", "parse-error", {}, {}},
        {"until without Available", {}, "Open until Friday", "parse-error", {}, {}},
        {"nothing recognisable", {}, "Closed", "unknown", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RawAssessment raw{"HW3", "Homework 3", "Homework", c.availability, "", "u", c.rules};
        const Assessment built = Engine::assessment(raw, Course{.id = "cs101", .year = 2025}, now);
        EXPECT_EQ(built.deadlineStatus, c.status);
        EXPECT_EQ(built.due, c.due);
        EXPECT_EQ(built.release, c.release);
        EXPECT_EQ(built.id, "cs101:HW3");
        EXPECT_EQ(built.rules, c.rules);
        EXPECT_EQ(built.checkedAt, now);
    }
}

TEST(Merge, ParsesScoreTexts)
{
    const std::pair<std::string, std::optional<double>> cases[] = {
        {"85%", 85}, {" 85 ", 85}, {"85", 85}, {"\n 100 %\u00A0", 100}, {"72.5%", 72.5}, {"A-", {}},
        {"", {}},    {"\u2014", {}}, {"85 pts", {}}, {"nan", {}},       {"inf%", {}},
    };
    for (const auto& [text, score] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Engine::assessment(RawAssessment{.code = "Q", .score = text}, Course{.id = "c"}, now).score, score);
    }
}

TEST(Merge, KeepsPreviousDatesWhenDatesDoNotParse)
{
    Database db;
    Assessment stored = item("c", "1", at(end));
    stored.release = at(start);
    db.assessments = {stored, item("c", "2", at(end))};

    Assessment ownRelease = item("c", "2", {}, "parse-error");
    ownRelease.release = at(early);
    Engine::merge({item("c", "1", {}, "parse-error"), ownRelease, item("c", "3", {}, "parse-error")}, "c", db, now);

    ASSERT_EQ(db.assessments.size(), 3u);
    EXPECT_EQ(db.assessments[0].due, at(end));
    EXPECT_EQ(db.assessments[0].release, at(start));
    EXPECT_EQ(db.assessments[1].due, at(end));
    EXPECT_EQ(db.assessments[1].release, at(early));
    EXPECT_EQ(db.assessments[2].due, std::nullopt);

    // Only unreadable dates carry over: an open deadline really has no due date.
    Engine::merge({item("c", "1", {}, "unlimited")}, "c", db, now);
    EXPECT_EQ(db.assessments[0].due, std::nullopt);
}

TEST(Merge, MarksVanishedItemsMissingAndLeavesOtherCoursesAlone)
{
    Database db;
    db.assessments = {item("a", "1", at(end)), item("b", "1", at(end)), item("b", "2", at(start))};
    db.overrides["b:2"] = UserOverride{.completed = true};
    const Assessment otherCourse = db.assessments[0];

    // A fresh item may not take another course's id, nor belong to another course.
    Assessment intruder = item("b", "1");
    intruder.id = "a:1";
    Engine::merge({item("b", "1", at(later)), intruder, item("a", "9")}, "b", db, now);
    ASSERT_EQ(db.assessments.size(), 3u);
    EXPECT_EQ(db.assessments[0], otherCourse);
    EXPECT_EQ(db.assessments[1].due, at(later));
    EXPECT_TRUE(db.assessments[2].missing);
    EXPECT_EQ(db.assessments[2].due, at(start));
    EXPECT_EQ(db.lastSync.at("b"), now);
    EXPECT_EQ(db.overrides.size(), 1u);

    Engine::merge({}, "b", db, now + std::chrono::duration<double>(60));
    EXPECT_TRUE(db.assessments[1].missing && db.assessments[2].missing);
    EXPECT_EQ(db.lastSync.at("b"), now + std::chrono::duration<double>(60));

    Engine::merge({item("b", "2", at(end))}, "b", db, now);
    EXPECT_FALSE(db.assessments[2].missing);
    EXPECT_EQ(db.assessments[2].due, at(end));
    EXPECT_EQ(db.assessments[0], otherCourse);
}

TEST(Merge, KeepsOneItemPerIdInCodePointOrder)
{
    Database db;
    db.assessments = {item("c", "b"), item("c", "B"), item("c", "b", at(end))}; // hand-edited: unsorted, twice
    Assessment second = item("c", "x", at(later));
    Engine::merge({item("c", "x", at(end)), item("c", "\u00E9"), item("c", "10"), second, item("c", "2")}, "c", db, now);

    std::vector<std::string> ids;
    for (const Assessment& stored : db.assessments)
        ids.push_back(stored.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"c:10", "c:2", "c:B", "c:b", "c:x", "c:\u00E9"}));
    EXPECT_EQ(db.assessments[3].due, at(end));
    EXPECT_EQ(db.assessments[4], second);
}
