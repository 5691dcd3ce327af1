#include "engine/Engine.h"
#include "model/Dates.h"

#include <gtest/gtest.h>

using namespace vantory;

namespace {

const std::string early = "2025-09-01 10:00:00 (PDT)", start = "2025-09-08 14:00:00 (PDT)",
                  end = "2025-09-15 23:59:00 (PDT)", later = "2025-09-20 23:59:00 (PDT)";
const std::string available = "Available 14:00, Mon, Sep 8";
const Instant now = instantFromSeconds(1.75e9);

std::optional<Instant> at(const std::string& text)
{
    return Dates::exact(text);
}

Assessment item(const std::string& course, const std::string& code, std::optional<Instant> due = {},
    const std::string& status = "known")
{
    return {.id = course + ":" + code, .courseID = course, .code = code, .due = due, .deadlineStatus = status};
}

} // namespace

TEST(Merge, BuildsDeadlineFromFullCreditRules)
{
    const auto released = Dates::release(available, 2025, Zone());
    const struct {
        std::vector<AccessRule> rules;
        std::string availability, status;
        std::optional<Instant> due, release;
    } cases[] = {
        {{{0, early, later}, {100, start, end}}, "", "known", at(end), at(start)},
        {{{100, start, end}, {120, early, later}}, "", "known", at(later), at(early)},
        {{{100, start, end}, {100, start, "\u2014"}}, "", "unlimited", {}, at(start)},
        {{{100, start, ""}}, "", "unlimited", {}, at(start)},
        {{{100, start, end}, {100, start, "soon"}}, "", "parse-error", {}, at(start)},
        {{{100, "x", end}}, available, "known", at(end), released},
        {{{99.9, start, end}}, "Not yet available", "unreleased", {}, {}},
        {{}, available, "unreleased", {}, released},
        {{}, "Available whenever", "parse-error", {}, {}},
        {{}, "Open until Friday", "parse-error", {}, {}},
        {{}, "Closed", "unknown", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status + " " + c.availability + " " + std::to_string(c.rules.size()));
        const RawAssessment raw{"HW3", "Homework 3", "Homework", c.availability, "", "u", c.rules};
        const Assessment built = Engine::assessment(raw, Course{.id = "cs101", .year = 2025}, now, Zone());
        EXPECT_EQ(built,
            (Assessment{"cs101:HW3", "cs101", "HW3", "Homework 3", "Homework", c.availability, {}, "u", c.release,
                c.due, c.status, c.rules, now, {}, false}));
    }
}

TEST(Merge, ParsesScoreTexts)
{
    const std::pair<std::string, std::optional<double>> cases[] = {
        {"85%", 85},
        {"\n 100 %\u00A0", 100},
        {"72.5%", 72.5},
        {"+85", 85},
        {"+-5", {}},
        {"", {}},
        {"\u2014", {}},
        {"85 pts", {}},
        {"nan", {}},
        {"inf%", {}},
    };
    for (const auto& [text, score] : cases)
        EXPECT_EQ(Engine::assessment({.code = "Q", .score = text}, Course{.id = "c"}, now, Zone()).score, score)
            << text;
}

TEST(Merge, KeepsPreviousDatesOnlyWhenDatesDoNotParse)
{
    Database db;
    db.assessments = {item("c", "1", at(end)), item("c", "2", at(end))};
    db.assessments[0].release = at(start);
    Assessment ownRelease = item("c", "2", {}, "parse-error");
    ownRelease.release = at(early);
    Engine::merge({item("c", "1", {}, "parse-error"), ownRelease, item("c", "3", {}, "parse-error")}, "c", db, now);
    ASSERT_EQ(db.assessments.size(), 3u);
    EXPECT_TRUE(db.assessments[0].due == at(end) && db.assessments[0].release == at(start));
    EXPECT_TRUE(db.assessments[1].due == at(end) && db.assessments[1].release == at(early));
    EXPECT_EQ(db.assessments[2].due, std::nullopt);

    // An open deadline really has no due date.
    Engine::merge({item("c", "1", {}, "unlimited")}, "c", db, now);
    EXPECT_EQ(db.assessments[0].due, std::nullopt);
}

TEST(Merge, MarksVanishedItemsMissingAndLeavesOtherCoursesAlone)
{
    Database db;
    db.assessments = {item("a", "1", at(end)), item("b", "1", at(end)), item("b", "2", at(start))};
    db.overrides["b:2"] = UserOverride{.completed = true};
    const Database before = db;

    // Neither a fresh item with another course's id nor one of another course gets in.
    Assessment intruder = item("b", "1");
    intruder.id = "a:1";
    Engine::merge({item("b", "1", at(later)), intruder, item("a", "9")}, "b", db, now);
    Assessment vanished = before.assessments[2];
    vanished.missing = true;
    EXPECT_EQ(db.assessments, (std::vector{before.assessments[0], item("b", "1", at(later)), vanished}));
    EXPECT_EQ(db.overrides, before.overrides);

    const Instant next = now + std::chrono::duration<double>(60);
    Engine::merge({}, "b", db, next);
    EXPECT_TRUE(db.assessments[1].missing && db.assessments[2].missing);
    EXPECT_EQ(db.lastSync.at("b"), next);

    Engine::merge({item("b", "2", at(end))}, "b", db, now);
    EXPECT_EQ(db.assessments[2], item("b", "2", at(end)));
    EXPECT_EQ(db.assessments[0], before.assessments[0]);
}

TEST(Merge, KeepsOneItemPerIdInCodePointOrder)
{
    Database db;
    db.assessments = {item("c", "b"), item("c", "B"), item("c", "b", at(end))}; // hand-edited: unsorted, twice
    const Assessment second = item("c", "x", at(later));
    Engine::merge(
        {item("c", "x", at(end)), item("c", "\u00E9"), item("c", "10"), second, item("c", "2")}, "c", db, now);

    std::string ids;
    for (const Assessment& stored : db.assessments)
        ids += stored.id + " ";
    EXPECT_EQ(ids, "c:10 c:2 c:B c:b c:x c:\u00E9 ");
    EXPECT_EQ(db.assessments[3].due, at(end));
    EXPECT_EQ(db.assessments[4], second);
}
