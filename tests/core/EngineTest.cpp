// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Engine.h"

#include "engine/Reminders.h"
#include "model/Dates.h"
#include "status/ReminderText.h"

#include <gtest/gtest.h>

using namespace vantory;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using Leads = std::vector<std::int64_t>;

namespace {

const std::string early = "2025-09-01 10:00:00 (PDT)", start = "2025-09-08 14:00:00 (PDT)",
                  end = "2025-09-15 23:59:00 (PDT)", later = "2025-09-20 23:59:00 (PDT)";
const Instant now = instantFromSeconds(1.75e9);
const Instant deadline = instantFromSeconds(1760684340);
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN(),
                 infinity = std::numeric_limits<double>::infinity();

const auto at = [](const std::string& text) { return Dates::exact(text); };
const auto in = [](double seconds) { return now + std::chrono::duration<double>(seconds); };
const auto before = [](std::chrono::duration<double> lead) { return deadline - lead; };

const auto item = [](const std::string& course, const std::string& code, std::optional<Instant> due = {},
                      const std::string& status = "known") {
    return Assessment{
        .id = course + ":" + code, .courseID = course, .code = code, .due = due, .deadlineStatus = status};
};

// A quiz of course c (or another) whose id is its title.
const auto quiz = [](const std::string& id, std::optional<Instant> due, const std::string& courseID = "c") {
    return Assessment{.id = id, .courseID = courseID, .title = id, .category = "Quiz", .due = due};
};

Database database(std::vector<Assessment> items, std::optional<Leads> leads = {})
{
    Database db;
    db.settings.courses
        = {{.id = "c", .name = "Zoology"}, {.id = "canvas:1", .name = "Art"}, {.id = "off", .enabled = false}};
    db.settings.excludedCategories = {"Lab"};
    db.settings.reminderMinutes = std::move(leads);
    db.assessments = std::move(items);
    return db;
}

// Quiz 3 of Art, due Thursday 2025-10-16 23:59 in Vancouver, with reminders at the given leads.
Database reminding(Leads leads = {1440, 180, 60})
{
    Database db = database({quiz("q", deadline, "canvas:1")}, leads);
    db.assessments[0].title = "Quiz 3";
    return db;
}

std::vector<const Assessment*> pointers(const std::vector<Assessment>& items)
{
    std::vector<const Assessment*> result;
    for (const Assessment& item : items)
        result.push_back(&item);
    return result;
}

const auto ids = [](const auto& items) {
    Strings result;
    std::ranges::transform(items, std::back_inserter(result), &Assessment::id);
    return result;
};

} // namespace

TEST(Merge, BuildsDeadlineFromFullCreditRulesAndScoreTexts)
{
    const std::string available = "Available 14:00, Mon, Sep 8";
    const auto released = Dates::release(available, 2025, Zone());
    const std::tuple<std::vector<AccessRule>, std::string, std::string, std::optional<Instant>, std::optional<Instant>>
        cases[] = {{{{0, early, later}, {100, start, end}}, "", "known", at(end), at(start)},
            {{{100, start, end}, {120, early, later}}, "", "known", at(later), at(early)},
            {{{100, start, end}, {100, start, "\u2014"}}, "", "unlimited", {}, at(start)},
            {{{100, start, ""}}, "", "unlimited", {}, at(start)},
            {{{100, start, end}, {100, start, "soon"}}, "", "parse-error", {}, at(start)},
            {{{100, "x", end}}, available, "known", at(end), released},
            {{{99.9, start, end}}, "Not yet available", "unreleased", {}, {}},
            {{}, available, "unreleased", {}, released}, {{}, "Available whenever", "parse-error", {}, {}},
            {{}, "Closed", "unknown", {}, {}}};
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

TEST(Merge, KeepsPreviousDatesOnlyWhenDatesDoNotParseOneItemPerIdInCodePointOrderAndVanishedOnesMissing)
{
    Database db;
    db.assessments = {item("c", "1", at(end)), item("c", "2", at(end))};
    db.assessments[0].release = at(start);
    Assessment ownRelease = item("c", "2", {}, "parse-error");
    ownRelease.release = at(early);
    Engine::merge({item("c", "1", {}, "parse-error"), ownRelease, item("c", "3", {}, "parse-error")}, "c", db, now);
    ASSERT_EQ(db.assessments.size(), 3u);
    EXPECT_TRUE(db.assessments[0].due == at(end) && db.assessments[0].release == at(start) && !db.assessments[2].due
        && db.assessments[1].due == at(end) && db.assessments[1].release == at(early));
    Engine::merge({item("c", "1", {}, "unlimited")}, "c", db, now);
    EXPECT_EQ(db.assessments[0].due, std::nullopt) << "an open deadline really has no due date";
    db.assessments = {item("c", "b"), item("c", "B"), item("c", "b", at(end))}; // hand-edited: unsorted, twice
    const Assessment second = item("c", "x", at(later));
    Engine::merge(
        {item("c", "x", at(end)), item("c", "\u00E9"), item("c", "10"), second, item("c", "2")}, "c", db, now);
    EXPECT_EQ(ids(db.assessments), (Strings{"c:10", "c:2", "c:B", "c:b", "c:x", "c:\u00E9"}));
    EXPECT_TRUE(db.assessments[3].due == at(end) && db.assessments[4] == second);
    db.assessments = {item("a", "1", at(end)), item("b", "1", at(end)), item("b", "2", at(start))};
    db.overrides["b:2"] = UserOverride{.completed = true};
    const Database before = db;
    // Neither a fresh item with another course's id nor one of another course gets in.
    Assessment intruder = item("b", "1"), vanished = before.assessments[2];
    intruder.id = "a:1", vanished.missing = true;
    Engine::merge({item("b", "1", at(later)), intruder, item("a", "9")}, "b", db, now);
    EXPECT_EQ(db.assessments, (std::vector{before.assessments[0], item("b", "1", at(later)), vanished}));
    EXPECT_EQ(db.overrides, before.overrides);
    Engine::merge({}, "b", db, in(60));
    EXPECT_TRUE(db.assessments[1].missing && db.assessments[2].missing && db.lastSync.at("b") == in(60));
    Engine::merge({item("b", "2", at(end))}, "b", db, now);
    EXPECT_EQ(db.assessments[2], item("b", "2", at(end)));
    EXPECT_EQ(db.overrides, before.overrides) << "the marks and dates set by hand outlive every merge";
}

TEST(Selection, UpcomingKeepsOnlyEligibleFutureDeadlinesInDueThenNaturalIdOrder)
{
    Database db = database({quiz("due now", now), quiz("due a moment later", in(0.001)), quiz("release only", {}),
        quiz("override future", {}), quiz("override past", in(60)), quiz("hidden", in(60)), quiz("completed", in(60)),
        quiz("missing", in(60)), quiz("score 100", in(60)), quiz("submitted", in(60), "canvas:1"),
        quiz("canvas score 100", in(60), "canvas:1"), quiz("excluded", in(60)), quiz("disabled course", in(60), "off"),
        quiz("unknown course", in(60), "gone"), quiz("c:HW10", in(90)), quiz("c:HW2", in(90)), quiz("c:hw3", in(90))});
    auto& items = db.assessments;
    items[2].release = in(10), items[7].missing = true, items[8].score = items[10].score = 100;
    items[9].submitted = true, items[11].category = "Lab";
    db.overrides = {{"override future", {.due = in(30)}}, {"override past", {.due = in(-30)}},
        {"hidden", {.hidden = true}}, {"completed", {.completed = true}}, {"score 100", {}}};
    EXPECT_EQ(ids(Engine::upcomingView(db, now)),
        (Strings{"due a moment later", "override future", "canvas score 100", "c:HW2", "c:hw3", "c:HW10"}));
    EXPECT_TRUE(Engine::done(items[8], db)); // an override that is not completed does not undo the site
    EXPECT_FALSE(Engine::done(items[10], db));
}

TEST(Selection, SortedListGroupsByDateThenListSort)
{
    Assessment releaseOnly = quiz("r", {}, "canvas:1");
    releaseOnly.title = "A first by title", releaseOnly.release = in(-100);
    const std::vector<Assessment> items = {quiz("u", {}, "zz-raw"), releaseOnly, quiz("n", in(50), "zz-raw"),
        quiz("x", {}), quiz("m", in(50), "canvas:1"), quiz("o", {}), quiz("w", in(10))};
    Database db = database(items);
    db.overrides["o"] = UserOverride{.due = in(5)};
    // An unlisted course sorts by its raw id: zz-raw last.
    const std::pair<std::optional<std::string>, Strings> cases[]
        = {{std::nullopt, {"o", "w", "m", "n", "r", "u", "x"}}, {"unknown", {"o", "w", "m", "n", "r", "u", "x"}},
            {"title", {"m", "n", "o", "w", "r", "u", "x"}}, {"course", {"m", "o", "w", "n", "r", "x", "u"}}};
    for (const auto& [listSort, expected] : cases) {
        db.settings.listSort = listSort;
        EXPECT_EQ(ids(Engine::sortedList(pointers(items), db)), expected) << listSort.value_or("absent");
    }
    // Titles equal under the collation fall through to the id; numbers compare by value.
    std::vector<Assessment> quizzes = {quiz("k2", in(5)), quiz("k0", in(5)), quiz("k1", in(5))};
    quizzes[0].title = "Quiz 2", quizzes[1].title = "Quiz 10", quizzes[2].title = "quiz 2";
    EXPECT_EQ(ids(Engine::sortedList(pointers(quizzes), db)), (Strings{"k1", "k2", "k0"}));
    // An override is found past many others, here those of items long gone.
    for (const char* gone : {"k00", "k01", "k02", "k03", "k04"})
        db.overrides[gone] = {};
    db.overrides["k2"] = UserOverride{.due = in(1)};
    EXPECT_EQ(ids(Engine::sortedList(pointers(quizzes), db)), (Strings{"k2", "k1", "k0"}));
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
    settings.pairedOtherDot = "0000D0", settings.pairedOtherTime = "0000E0";
    // Stored longest first, the 2 h rule still decides up to 2 hours; ties go to the first.
    settings.pairedRules = {{{"L", 24, "24D000", "24E000"}, {"S", 2, "02D000", "02E000"}, {"T", 2, "AAAAAA", "A"}}};
    const std::tuple<double, const char*, const char*> cases[]
        = {{7200, "02D000", "02E000"}, {7201, "24D000", "24E000"}, {-86400, "02D000", "02E000"},
            {24 * 3600 + 1, "0000D0", "0000E0"}, {notANumber, "0000D0", "0000E0"}};
    for (const auto& [seconds, dot, time] : cases)
        EXPECT_EQ(Engine::dotHex(seconds, settings) + Engine::hex(seconds, settings), std::string(dot) + time)
            << seconds;
    settings.linkedTimeColors = true;
    EXPECT_EQ(Engine::hex(60, settings) + Engine::hex(1e9, settings), "02D0000000D0");
    settings.pairedRules->clear(), settings.pairedOtherDot.reset();
    EXPECT_EQ(Engine::hex(0, settings), "FFFFFF");
}

TEST(Reminders, EachOfAFewWholeLeadTimesFiresOnceAtItsMoment)
{
    Database db = reminding();
    Instant now = deadline - 72h;
    std::vector<std::pair<Instant, Reminders::Reminder>> fired;
    while (const auto next = Reminders::next(db, now)) {
        ASSERT_TRUE(Reminders::due(db, now).empty());
        now = *next;
        const auto reminders = Reminders::due(db, now);
        ASSERT_EQ(reminders.size(), 1u);
        fired.emplace_back(now, reminders.front());
        Reminders::markShown(db, reminders.front(), now);
    }
    EXPECT_EQ(fired,
        (std::vector<std::pair<Instant, Reminders::Reminder>>{{before(24h), {"q", deadline, 1440, false}},
            {before(3h), {"q", deadline, 180, false}}, {before(1h), {"q", deadline, 60, true}}}));
    EXPECT_TRUE(Reminders::due(db, before(1s)).empty());
    // The settings keep a few whole lead times.
    const std::pair<Leads, std::optional<Leads>> cases[]
        = {{{9, 8, 7, 6, 5, 4, 3, 2, 2, 1, 10}, Leads{1, 2, 3, 4, 5, 6, 7, 8}},
            {{0, -15, 40321, 40320, 1}, Leads{1, 40320}}, {{0}, std::nullopt}};
    for (Settings settings; const auto& [stored, expected] : cases) {
        settings.reminderMinutes = stored;
        settings.normalize();
        EXPECT_EQ(settings.reminderMinutes, expected);
    }
}

// Eligibility is Engine::upcomingView's, tested there; the flag: no lead lies ahead even days earlier.
TEST(Reminders, NeverAnnouncesWhatTheStatusLineWouldNotShowAndCatchesUpWithTheShortestFallenLeadOnly)
{
    const Instant now = before(30min);
    const std::tuple<const char*, bool, std::function<void(Database&)>> cases[]
        = {{"hidden", true, [](Database& db) { db.overrides["q"].hidden = true; }},
            {"no lead chosen", true, [](Database& db) { db.settings.reminderMinutes.reset(); }},
            {"an empty choice", true, [](Database& db) { db.settings.reminderMinutes->clear(); }}};
    for (const auto& [name, forGood, change] : cases) {
        Database db = reminding();
        change(db);
        EXPECT_TRUE(Reminders::due(db, now).empty() && !Reminders::next(db, now)) << name;
        EXPECT_TRUE(!forGood || !Reminders::next(db, deadline - 72h)) << name;
    }
    const Leads usual{1440, 180, 60}, withShorter{180, 60, 15};
    const std::tuple<const char*, Instant, std::optional<ShownReminder>, std::optional<std::int64_t>, Leads> catchUps[]
        = {{"two leads passed while not running", before(2h), {}, 180, usual},
            {"the longest was shown", before(2h), ShownReminder{deadline, 1440}, 180, usual},
            {"the shortest was shown", before(30min), ShownReminder{deadline, 60}, {}, usual},
            {"shown for another date", before(2h), ShownReminder{deadline - 1h, 60}, 180, usual},
            {"no lead reached yet", before(25h), {}, {}, usual}, {"exactly at a lead", before(24h), {}, 1440, usual},
            {"a longer lead chosen after a shorter one showed", before(50min), ShownReminder{deadline, 60}, {},
                withShorter},
            {"a shorter lead chosen after", before(15min), ShownReminder{deadline, 60}, 15, withShorter}};
    for (const auto& [name, at, shown, expected, leads] : catchUps) {
        Database db = reminding(leads);
        if (shown)
            db.reminders = {{{"q", *shown}}};
        const auto reminders = Reminders::due(db, at);
        ASSERT_LE(reminders.size(), 1u) << name;
        EXPECT_EQ(reminders.empty() ? std::nullopt : std::optional(reminders[0].minutes), expected) << name;
        EXPECT_TRUE(reminders.empty() || reminders[0].last == (expected == leads.back())) << name;
    }
}

TEST(Reminders, AMovedDeadlineRearmsItsLeadsAndMarkingDropsStaleRecords)
{
    Database db = reminding();
    Reminders::markShown(db, {"q", deadline, 60, true}, before(1h));
    // Moved a day later: the day-before lead comes at the old deadline.
    db.assessments[0].due = deadline + 24h;
    EXPECT_TRUE(Reminders::due(db, before(30min)).empty() && Reminders::next(db, before(30min)) == deadline);
    EXPECT_EQ(Reminders::due(db, deadline), (std::vector<Reminders::Reminder>{{"q", deadline + 24h, 1440, false}}));
    db.overrides["q"].due = before(30min) + 2h;
    EXPECT_EQ(
        Reminders::due(db, before(30min)), (std::vector<Reminders::Reminder>{{"q", before(30min) + 2h, 180, false}}));
    db.overrides.clear();
    db.assessments[0].due = deadline;
    EXPECT_TRUE(Reminders::due(db, before(30min)).empty()) << "back to the date already announced";
    db = reminding(); // marking drops the records of gone items and passed dates
    db.assessments.push_back({.id = "old", .courseID = "c", .due = before(48h)});
    db.reminders = {{{"gone", {deadline, 60}}, {"old", {before(48h), 60}}, {"q", {deadline - 5min, 60}}}};
    Reminders::markShown(db, {"q", deadline, 1440, false}, before(24h));
    EXPECT_EQ(db.reminders, (std::map<std::string, ShownReminder>{{"q", {deadline, 1440}}}))
        << "a record for another date is replaced";
    Reminders::markShown(db, {"q", deadline, 60, true}, deadline + 1s);
    EXPECT_EQ(db.reminders, std::nullopt) << "once the deadline has passed, the field goes";
}

TEST(Reminders, TheNotificationReadsLikeTheStatusLine)
{
    const Database db = reminding();
    Assessment item = db.assessments[0];
    const ReminderText text = reminderText(item, db.settings, deadline, before(3h));
    EXPECT_EQ(text.summary + "\n" + text.body, "Art · Quiz 3\n마감까지 3h0m 남았어요\n10월 16일 (목) 23:59 GMT-7");
    const auto summary = [&](std::string title) {
        item.title = std::move(title);
        return reminderText(item, db.settings, deadline, before(1h)).summary;
    };
    EXPECT_EQ(summary("Lab\n2\t<b>&amp;</b>\x7f"), "Art · Lab 2 <b>&amp;</b>");
    EXPECT_EQ(summary(std::string(300, 'x')), "Art · " + std::string(ReminderText::summaryLength - 6, 'x') + "…");
    EXPECT_EQ(summary(""), "Art · Quiz");
}
