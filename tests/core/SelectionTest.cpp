#include "engine/Engine.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vantory;

namespace {

const Instant now = instantFromSeconds(1.75e9);

Instant in(double seconds)
{
    return now + std::chrono::duration<double>(seconds);
}

Assessment item(const std::string& id, std::optional<Instant> due, const std::string& courseID = "c")
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

TEST(Selection, UpcomingKeepsOnlyEligibleFutureDeadlines)
{
    Database db = database({item("due now", now), item("due a moment later", in(0.001)), item("release only", {}),
        item("override future", {}), item("override past", in(60)), item("hidden", in(60)), item("completed", in(60)),
        item("missing", in(60)), item("score 100", in(60)), item("submitted", in(60), "canvas:1"),
        item("canvas score 100", in(60), "canvas:1"), item("excluded", in(60)), item("disabled course", in(60), "off"),
        item("unknown course", in(60), "gone")});
    auto& items = db.assessments;
    items[2].release = in(10);
    items[7].missing = true;
    items[8].score = items[10].score = 100;
    items[9].submitted = true;
    items[11].category = "Lab";
    db.overrides = {{"override future", {.due = in(30)}}, {"override past", {.due = in(-30)}},
        {"hidden", {.hidden = true}}, {"completed", {.completed = true}}, {"score 100", {}}};

    EXPECT_EQ(ids(Engine::upcoming(db, now)),
        (std::vector<std::string>{"due a moment later", "override future", "canvas score 100"}));
    EXPECT_TRUE(Engine::done(items[8], db)); // an override that is not completed does not undo the site
    EXPECT_FALSE(Engine::done(items[10], db));
}

TEST(Selection, UpcomingBreaksDueTiesByNaturalId)
{
    const Database db = database({item("c:HW10", in(60)), item("c:HW2", in(60)), item("c:hw3", in(60)),
        item("c:A", in(120)), item("c:Z", in(30))});
    EXPECT_EQ(ids(Engine::upcoming(db, now)), (std::vector<std::string>{"c:Z", "c:HW2", "c:hw3", "c:HW10", "c:A"}));
}

TEST(Selection, SortedListGroupsByDateThenListSort)
{
    Assessment releaseOnly = item("r", {}, "canvas:1");
    releaseOnly.title = "A first by title";
    releaseOnly.release = in(-100);
    const std::vector<Assessment> items = {item("u", {}, "zz-raw"), releaseOnly, item("n", in(50), "zz-raw"),
        item("x", {}), item("m", in(50), "canvas:1"), item("o", {}), item("w", in(10))};
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
    std::vector<Assessment> quizzes = {item("k2", in(5)), item("k0", in(5)), item("k1", in(5))};
    quizzes[0].title = "Quiz 2";
    quizzes[1].title = "Quiz 10";
    quizzes[2].title = "quiz 2";
    EXPECT_EQ(ids(Engine::sortedList(quizzes, db)), (std::vector<std::string>{"k1", "k2", "k0"}));
}

TEST(Selection, RotationIndexWalksSlots)
{
    const double nan = std::nan(""), infinity = std::numeric_limits<double>::infinity();
    const struct {
        double elapsed;
        std::int64_t count;
        std::vector<double> durations;
        std::int64_t index;
    } cases[] = {
        {4.99, 2, {5, 3}, 0},
        {5, 2, {5, 3}, 1},
        {7.99, 2, {5, 3}, 1},
        {8, 2, {5, 3}, 0},
        {13, 5, {5, 3}, 1},
        {6, 1, {5, 3}, 0},
        {3, 0, {5, 3}, 0},
        {3, 2, {}, 0},
        {1, 2, {0.2, nan}, 1},
        {nan, 2, {5, 3}, 0},
        {infinity, 2, {5, 3}, 0},
        {1e9, 2, {1, infinity}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::rotationIndex(c.elapsed, c.count, c.durations), c.index) << c.elapsed << " / " << c.count;
}
