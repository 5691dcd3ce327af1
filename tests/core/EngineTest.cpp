#include "engine/Engine.h"

#include "model/Dates.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vantory;

namespace {

const std::string early = "2025-09-01 10:00:00 (PDT)", start = "2025-09-08 14:00:00 (PDT)",
                  end = "2025-09-15 23:59:00 (PDT)", later = "2025-09-20 23:59:00 (PDT)";
const Instant now = instantFromSeconds(1.75e9);
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN(),
                 infinity = std::numeric_limits<double>::infinity();

std::optional<Instant> at(const std::string& text)
{
    return Dates::exact(text);
}

Instant in(double seconds)
{
    return now + std::chrono::duration<double>(seconds);
}

Assessment item(const std::string& course, const std::string& code, std::optional<Instant> due = {},
    const std::string& status = "known")
{
    return {.id = course + ":" + code, .courseID = course, .code = code, .due = due, .deadlineStatus = status};
}

// A quiz of course c (or another) whose id is its title.
Assessment quiz(const std::string& id, std::optional<Instant> due, const std::string& courseID = "c")
{
    return {.id = id, .courseID = courseID, .title = id, .category = "Quiz", .due = due};
}

Database database(std::vector<Assessment> items)
{
    Database db;
    db.settings.courses
        = {{.id = "c", .name = "Zoology"}, {.id = "canvas:1", .name = "Art"}, {.id = "off", .enabled = false}};
    db.settings.excludedCategories = {"Lab"};
    db.assessments = std::move(items);
    return db;
}

std::vector<std::string> ids(const std::vector<Assessment>& items)
{
    std::vector<std::string> result;
    for (const Assessment& item : items)
        result.push_back(item.id);
    return result;
}

} // namespace

TEST(Merge, BuildsDeadlineFromFullCreditRulesAndScoreTexts)
{
    const std::string available = "Available 14:00, Mon, Sep 8";
    const auto released = Dates::release(available, 2025, Zone());
    const std::tuple<std::vector<AccessRule>, std::string, std::string, std::optional<Instant>, std::optional<Instant>>
        cases[] = {
            {{{0, early, later}, {100, start, end}}, "", "known", at(end), at(start)},
            {{{100, start, end}, {120, early, later}}, "", "known", at(later), at(early)},
            {{{100, start, end}, {100, start, "\u2014"}}, "", "unlimited", {}, at(start)},
            {{{100, start, ""}}, "", "unlimited", {}, at(start)},
            {{{100, start, end}, {100, start, "soon"}}, "", "parse-error", {}, at(start)},
            {{{100, "x", end}}, available, "known", at(end), released},
            {{{99.9, start, end}}, "Not yet available", "unreleased", {}, {}},
            {{}, available, "unreleased", {}, released},
            {{}, "Available whenever", "parse-error", {}, {}},
            {{}, "Closed", "unknown", {}, {}},
        };
    for (const auto& [rules, availability, status, due, release] : cases) {
        const RawAssessment raw{"HW3", "Homework 3", "Homework", availability, "", "u", rules};
        EXPECT_EQ(Engine::assessment(raw, Course{.id = "cs101", .year = 2025}, now, Zone()),
            (Assessment{"cs101:HW3", "cs101", "HW3", "Homework 3", "Homework", availability, {}, "u", release, due,
                status, rules, now, {}, false}))
            << status << " " << availability << " " << rules.size();
    }
    const std::pair<std::string, std::optional<double>> scores[] = {{"\n 100 %\u00A0", 100}, {"72.5%", 72.5},
        {"+85", 85}, {"+-5", {}}, {"\u2014", {}}, {"85 pts", {}}, {"nan", {}}, {"inf%", {}}};
    for (const auto& [text, score] : scores)
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

    Engine::merge({}, "b", db, in(60));
    EXPECT_TRUE(db.assessments[1].missing && db.assessments[2].missing);
    EXPECT_EQ(db.lastSync.at("b"), in(60));

    Engine::merge({item("b", "2", at(end))}, "b", db, now);
    EXPECT_EQ(db.assessments[2], item("b", "2", at(end)));
}

TEST(Merge, KeepsOneItemPerIdInCodePointOrder)
{
    Database db;
    db.assessments = {item("c", "b"), item("c", "B"), item("c", "b", at(end))}; // hand-edited: unsorted, twice
    const Assessment second = item("c", "x", at(later));
    Engine::merge(
        {item("c", "x", at(end)), item("c", "\u00E9"), item("c", "10"), second, item("c", "2")}, "c", db, now);
    EXPECT_EQ(ids(db.assessments), (std::vector<std::string>{"c:10", "c:2", "c:B", "c:b", "c:x", "c:\u00E9"}));
    EXPECT_EQ(db.assessments[3].due, at(end));
    EXPECT_EQ(db.assessments[4], second);
}

TEST(Selection, UpcomingKeepsOnlyEligibleFutureDeadlinesInDueThenNaturalIdOrder)
{
    Database db = database({quiz("due now", now), quiz("due a moment later", in(0.001)), quiz("release only", {}),
        quiz("override future", {}), quiz("override past", in(60)), quiz("hidden", in(60)), quiz("completed", in(60)),
        quiz("missing", in(60)), quiz("score 100", in(60)), quiz("submitted", in(60), "canvas:1"),
        quiz("canvas score 100", in(60), "canvas:1"), quiz("excluded", in(60)), quiz("disabled course", in(60), "off"),
        quiz("unknown course", in(60), "gone"), quiz("c:HW10", in(90)), quiz("c:HW2", in(90)), quiz("c:hw3", in(90))});
    auto& items = db.assessments;
    items[2].release = in(10);
    items[7].missing = true;
    items[8].score = items[10].score = 100;
    items[9].submitted = true;
    items[11].category = "Lab";
    db.overrides = {{"override future", {.due = in(30)}}, {"override past", {.due = in(-30)}},
        {"hidden", {.hidden = true}}, {"completed", {.completed = true}}, {"score 100", {}}};

    EXPECT_EQ(ids(Engine::upcoming(db, now)),
        (std::vector<std::string>{
            "due a moment later", "override future", "canvas score 100", "c:HW2", "c:hw3", "c:HW10"}));
    EXPECT_TRUE(Engine::done(items[8], db)); // an override that is not completed does not undo the site
    EXPECT_FALSE(Engine::done(items[10], db));
}

TEST(Selection, SortedListGroupsByDateThenListSort)
{
    Assessment releaseOnly = quiz("r", {}, "canvas:1");
    releaseOnly.title = "A first by title";
    releaseOnly.release = in(-100);
    const std::vector<Assessment> items = {quiz("u", {}, "zz-raw"), releaseOnly, quiz("n", in(50), "zz-raw"),
        quiz("x", {}), quiz("m", in(50), "canvas:1"), quiz("o", {}), quiz("w", in(10))};
    Database db = database(items);
    db.overrides["o"] = UserOverride{.due = in(5)};

    const std::pair<std::optional<std::string>, std::vector<std::string>> cases[] = {
        {std::nullopt, {"o", "w", "m", "n", "r", "u", "x"}}, {"unknown", {"o", "w", "m", "n", "r", "u", "x"}},
        {"title", {"m", "n", "o", "w", "r", "u", "x"}},
        {"course", {"m", "o", "w", "n", "r", "x", "u"}}, // an unlisted course sorts by its raw id: zz-raw last
    };
    for (const auto& [listSort, expected] : cases) {
        db.settings.listSort = listSort;
        EXPECT_EQ(ids(Engine::sortedList(items, db)), expected) << listSort.value_or("absent");
    }

    // Titles equal under the collation fall through to the id; numbers compare by value.
    std::vector<Assessment> quizzes = {quiz("k2", in(5)), quiz("k0", in(5)), quiz("k1", in(5))};
    quizzes[0].title = "Quiz 2";
    quizzes[1].title = "Quiz 10";
    quizzes[2].title = "quiz 2";
    EXPECT_EQ(ids(Engine::sortedList(quizzes, db)), (std::vector<std::string>{"k1", "k2", "k0"}));
}

TEST(Selection, RotationIndexWalksSlots)
{
    const std::tuple<double, std::int64_t, std::vector<double>, std::int64_t> cases[] = {{4.99, 2, {5, 3}, 0},
        {5, 2, {5, 3}, 1}, {8, 2, {5, 3}, 0}, {13, 5, {5, 3}, 1}, {6, 1, {5, 3}, 0}, {3, 0, {5, 3}, 0}, {3, 2, {}, 0},
        {1, 2, {0.2, notANumber}, 1}, {notANumber, 2, {5, 3}, 0}, {infinity, 2, {5, 3}, 0}, {1e9, 2, {1, infinity}, 1}};
    for (const auto& [elapsed, count, durations, index] : cases)
        EXPECT_EQ(Engine::rotationIndex(elapsed, count, durations), index) << elapsed << " / " << count;
}

TEST(TimeColors, PairedTableShortestMatchingThresholdWins)
{
    Settings settings;
    settings.pairedOtherDot = "0000D0";
    settings.pairedOtherTime = "0000E0";
    // Stored longest first: the 2 h rule must still decide up to and including 2 hours; ties go to the first.
    settings.pairedRules = {{{"L", 24, "24D000", "24E000"}, {"S", 2, "02D000", "02E000"}, {"T", 2, "AAAAAA", "A"}}};
    const std::tuple<double, const char*, const char*> cases[]
        = {{7200, "02D000", "02E000"}, {7201, "24D000", "24E000"}, {-86400, "02D000", "02E000"},
            {24 * 3600 + 1, "0000D0", "0000E0"}, {notANumber, "0000D0", "0000E0"}};
    for (const auto& [seconds, dot, time] : cases) {
        EXPECT_EQ(Engine::dotHex(seconds, settings), dot) << seconds;
        EXPECT_EQ(Engine::hex(seconds, settings), time) << seconds;
    }
    settings.linkedTimeColors = true;
    EXPECT_EQ(Engine::hex(60, settings), "02D000");
    EXPECT_EQ(Engine::hex(1e9, settings), "0000D0");
    settings.pairedRules->clear();
    settings.pairedOtherDot.reset();
    EXPECT_EQ(Engine::hex(0, settings), "FFFFFF");

    // Settings not yet normalised (a fresh store before its first save) have no paired table:
    // the time follows the dot unless told otherwise.
    Settings fresh;
    fresh.dotStyle = "fixed";
    fresh.dotHex = "123456";
    EXPECT_EQ(Engine::hex(60, fresh), "123456");
    fresh.timeColorMode = "rules";
    EXPECT_EQ(Engine::hex(60, fresh), "EF4444");
}
