#include "engine/Reminders.h"

#include "model/Dates.h"
#include "status/ReminderText.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>

using namespace vantory;
using namespace std::chrono_literals;

namespace {

// The deadline of the item "q": Thursday 2025-10-16 23:59 in Vancouver.
const Instant deadline = instantFromSeconds(1760684340);

Instant before(std::chrono::duration<double> lead)
{
    return deadline - lead;
}

Database database(std::vector<std::int64_t> leads = {1440, 180, 60})
{
    Database db;
    db.settings.courses = {{.id = "c", .name = "313"}, {.id = "off", .enabled = false}};
    db.settings.excludedCategories = {"Lab"};
    db.settings.reminderMinutes = std::move(leads);
    db.assessments = {{.id = "q", .courseID = "c", .title = "Quiz 3", .category = "Quiz", .due = deadline}};
    return db;
}

} // namespace

TEST(Reminders, EachLeadFiresOnceAtItsMoment)
{
    Database db = database();
    Instant now = deadline - 72h;
    std::vector<std::pair<Instant, Reminders::Reminder>> fired;
    // What a running application does: sleep until next(), show what is due, record it.
    while (const auto next = Reminders::next(db, now)) {
        ASSERT_TRUE(Reminders::due(db, now).empty());
        now = *next;
        const auto reminders = Reminders::due(db, now);
        ASSERT_EQ(reminders.size(), 1u);
        fired.emplace_back(now, reminders.front());
        Reminders::markShown(db, reminders.front(), now);
    }
    const std::vector<std::pair<Instant, Reminders::Reminder>> expected{
        {before(24h), {"q", deadline, 1440, false}},
        {before(3h), {"q", deadline, 180, false}},
        {before(1h), {"q", deadline, 60, true}},
    };
    EXPECT_EQ(fired, expected);
    EXPECT_TRUE(Reminders::due(db, before(1s)).empty());
}

// Which items count is Engine::upcoming's choice, tested with it; here only what leads add.
TEST(Reminders, NeverAnnouncesWhatTheStatusLineWouldNotShow)
{
    const Instant now = before(30min);
    // Whether the item is out for good, so that no lead lies ahead even days earlier.
    const std::vector<std::tuple<const char*, bool, std::function<void(Database&)>>> cases{
        {"hidden", true, [](Database& db) { db.overrides["q"].hidden = true; }},
        {"no lead chosen", true, [](Database& db) { db.settings.reminderMinutes.reset(); }},
        {"an empty choice", true, [](Database& db) { db.settings.reminderMinutes->clear(); }},
        {"due this instant", false, [&](Database& db) { db.assessments[0].due = now; }},
        {"moved into the past by hand", false, [&](Database& db) { db.overrides["q"].due = now - 1h; }},
    };
    for (const auto& [name, forGood, change] : cases) {
        Database db = database();
        change(db);
        EXPECT_TRUE(Reminders::due(db, now).empty()) << name;
        EXPECT_EQ(Reminders::next(db, now), std::nullopt) << name;
        EXPECT_TRUE(!forGood || !Reminders::next(db, deadline - 72h)) << name;
    }
}

TEST(Reminders, CatchesUpWithTheShortestFallenLeadOnly)
{
    struct Case {
        const char* name;
        Instant now;
        std::optional<ShownReminder> shown;
        std::optional<std::int64_t> expected;
        std::vector<std::int64_t> leads = {1440, 180, 60};
    };
    const Case cases[] = {
        {"two leads passed while not running", before(2h), {}, 180},
        {"the longest was shown", before(2h), ShownReminder{deadline, 1440}, 180},
        {"the shortest was shown", before(30min), ShownReminder{deadline, 60}, std::nullopt},
        {"shown for another date", before(2h), ShownReminder{deadline - 1h, 60}, 180},
        {"no lead reached yet", before(25h), {}, std::nullopt},
        {"exactly at a lead", before(24h), {}, 1440},
        {"a longer lead chosen after a shorter one showed", before(50min), ShownReminder{deadline, 60}, std::nullopt,
            {180, 60, 15}},
        {"a shorter lead chosen after", before(15min), ShownReminder{deadline, 60}, 15, {180, 60, 15}},
    };
    for (const Case& c : cases) {
        Database db = database(c.leads);
        if (c.shown)
            db.reminders = {{{"q", *c.shown}}};
        const auto reminders = Reminders::due(db, c.now);
        ASSERT_LE(reminders.size(), 1u) << c.name;
        EXPECT_EQ(reminders.empty() ? std::nullopt : std::optional(reminders[0].minutes), c.expected) << c.name;
        EXPECT_TRUE(reminders.empty() || reminders[0].last == (c.expected == c.leads.back())) << c.name;
    }
}

TEST(Reminders, AMovedDeadlineRearmsItsLeads)
{
    Database db = database();
    Reminders::markShown(db, {"q", deadline, 60, true}, before(1h));

    // A sync moves it a day later: nothing is due now, the day-before lead comes at the old deadline.
    db.assessments[0].due = deadline + 24h;
    EXPECT_TRUE(Reminders::due(db, before(30min)).empty());
    EXPECT_EQ(Reminders::next(db, before(30min)), deadline);
    EXPECT_EQ(Reminders::due(db, deadline), (std::vector<Reminders::Reminder>{{"q", deadline + 24h, 1440, false}}));

    // A hand-set date two hours ahead: the nearest lead still ahead of the old ones comes at once.
    db.overrides["q"].due = before(30min) + 2h;
    EXPECT_EQ(
        Reminders::due(db, before(30min)), (std::vector<Reminders::Reminder>{{"q", before(30min) + 2h, 180, false}}));

    // Back to the date already announced: nothing repeats.
    db.overrides.clear();
    db.assessments[0].due = deadline;
    EXPECT_TRUE(Reminders::due(db, before(30min)).empty());
}

TEST(Reminders, MarkingDropsGoneAndPassedRecords)
{
    Database db = database();
    db.assessments.push_back({.id = "old", .courseID = "c", .due = before(48h)});
    db.reminders = {{{"gone", {deadline, 60}}, {"old", {before(48h), 60}}, {"q", {deadline - 5min, 60}}}};
    Reminders::markShown(db, {"q", deadline, 1440, false}, before(24h));
    const std::map<std::string, ShownReminder> expected{{"q", {deadline, 1440}}};
    EXPECT_EQ(db.reminders, expected) << "a record for another date is replaced";

    // Once the deadline has passed, the next write leaves nothing, and the field goes.
    Reminders::markShown(db, {"q", deadline, 60, true}, deadline + 1s);
    EXPECT_EQ(db.reminders, std::nullopt);
}

TEST(Reminders, TheSettingsKeepAFewWholeLeadTimes)
{
    using Leads = std::vector<std::int64_t>;
    const std::pair<Leads, std::optional<Leads>> cases[]
        = {{{1440, 60, 180, 60}, Leads{60, 180, 1440}}, {{0, -15, 40321, 40320, 1}, Leads{1, 40320}},
            {{}, std::nullopt}, {{0}, std::nullopt}, {{9, 8, 7, 6, 5, 4, 3, 2, 1, 10}, Leads{1, 2, 3, 4, 5, 6, 7, 8}}};
    for (const auto& [stored, expected] : cases) {
        Settings settings;
        settings.reminderMinutes = stored;
        settings.normalize();
        EXPECT_EQ(settings.reminderMinutes, expected);
    }
}

TEST(Reminders, TheNotificationReadsLikeTheStatusLine)
{
    const Database db = database();
    Assessment item = db.assessments[0];
    const ReminderText text = reminderText(item, db.settings, deadline, before(3h));
    EXPECT_EQ(text.summary, "313 · Quiz 3");
    EXPECT_EQ(text.body, "마감까지 3h0m 남았어요\n10월 16일 (목) 23:59 GMT-7");

    item.title = "Lab\n2\t<b>&amp;</b>\x7f";
    EXPECT_EQ(reminderText(item, db.settings, deadline, before(25h)).summary, "313 · Lab 2 <b>&amp;</b>");
    item.title = std::string(300, 'x');
    EXPECT_EQ(reminderText(item, db.settings, deadline, before(1h)).summary,
        "313 · " + std::string(ReminderText::summaryLength - 6, 'x') + "…");
    item.title.clear();
    EXPECT_EQ(reminderText(item, db.settings, deadline, before(1h)).summary, "313 · Quiz");
}
