#include "ui/Dashboard.h"

#include "engine/Engine.h"
#include "model/Dates.h"
#include "store/Store.h"
#include "ui/DashboardItems.h"
#include "ui/DeadlineList.h"
#include "ui/MonthCalendar.h"

#include "SampleDatabase.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace vantory {
namespace {

using DashboardItems::Filter;

// Wednesday 2025-10-15 12:00 in Vancouver (19:00 UTC).
const Instant now = instantFromSeconds(1760554800);
constexpr double day = 86400;

Instant at(double secondsFromNow)
{
    return instantFromSeconds(secondsSince1970(now) + secondsFromNow);
}

Assessment item(std::string code, std::optional<Instant> due)
{
    Assessment result;
    result.courseID = "c1";
    result.code = std::move(code);
    result.id = result.courseID + ":" + result.code;
    result.title = "Title " + result.code;
    result.category = "Homework";
    result.due = due;
    return result;
}

// One enabled course whose items cover every filter rule.
Database ruleDatabase()
{
    Database db;
    db.settings.courses.push_back(Course{.id = "c1", .name = "CS 101"});
    db.settings.courses.push_back(Course{.id = "c2", .name = "Off", .enabled = false});
    db.assessments = {item("future", at(day)), item("now", now), item("done-past", at(-day)),
        item("hidden", at(2 * day)), item("undated", std::nullopt), item("release", std::nullopt),
        item("auto", at(-2 * day)), item("override-due", std::nullopt)};
    db.assessments[5].release = at(3 * day);
    db.assessments[6].score = 100;
    Assessment disabled = item("other", at(day));
    disabled.courseID = "c2";
    disabled.id = "c2:other";
    db.assessments.push_back(disabled);
    db.overrides["c1:done-past"].completed = true;
    db.overrides["c1:hidden"].hidden = true;
    db.overrides["c1:override-due"].due = at(4 * day);
    std::sort(db.assessments.begin(), db.assessments.end(), [](auto& a, auto& b) { return a.id < b.id; });
    return db;
}

std::set<std::string> codes(const std::vector<Assessment>& items)
{
    std::set<std::string> result;
    for (const Assessment& entry : items)
        result.insert(entry.code);
    return result;
}

class DashboardTest : public ::testing::Test {
protected:
    void load(Database db)
    {
        store.update([&](Database& stored) { stored = std::move(db); });
    }

    std::filesystem::path path() const { return folder / "state.json"; }

    Database saved() const { return Store(path(), now).db(); }

    test::TemporaryFolder folder;
    test::SiteScope sites;
    Store store{folder / "state.json", now};
};

TEST_F(DashboardTest, FiltersAndSelectedDaysChooseTheListedItems)
{
    load(ruleDatabase());
    const std::int64_t today = Dates::dayNumber(now);
    const struct {
        const char* name;
        Filter filter;
        std::optional<std::int64_t> selected;
        bool showReleases;
        std::set<std::string> expected;
    } cases[] = {
        {"all enabled items", Filter::all, {}, false,
            {"future", "now", "done-past", "hidden", "undated", "release", "auto", "override-due"}},
        {"due exactly now is not upcoming; hidden is left out", Filter::upcoming, {}, false,
            {"future", "override-due"}},
        {"undated and not done", Filter::undated, {}, false, {"undated", "release"}},
        {"due now is overdue; done items are not", Filter::overdue, {}, false, {"now"}},
        {"done, auto-completed or hidden", Filter::doneOrHidden, {}, false, {"done-past", "hidden", "auto"}},
        {"a day ignores the filter", Filter::undated, today + 1, false, {"future"}},
        {"the user's due date counts", Filter::all, today + 4, false, {"override-due"}},
        {"releases only when shown", Filter::all, today + 3, false, {}},
        {"releases when shown", Filter::all, today + 3, true, {"release"}},
        {"today", Filter::all, today, false, {"now"}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        store.update([&](Database& db) { db.settings.showReleases = testCase.showReleases; });
        EXPECT_EQ(codes(DashboardItems::visible(store, testCase.filter, testCase.selected)), testCase.expected);
    }
}

TEST_F(DashboardTest, MonthsStartOnMondayWithUpToFourCourseDotsPerDay)
{
    const struct {
        Instant inside;
        int month;
        int days;
        int leadingBlanks;
    } cases[] = {
        {instantFromSeconds(1757401200), 9, 30, 0}, // September 2025 starts on a Monday
        {instantFromSeconds(1749600000), 6, 30, 6}, // June 2025 starts on a Sunday
        {instantFromSeconds(1709200000), 2, 29, 3}, // February 2024 starts on a Thursday
        {instantFromSeconds(1759276800), 9, 30, 0}, // 1 October 00:00 UTC is still 30 September here
    };
    for (const auto& testCase : cases) {
        const DashboardItems::Month month = DashboardItems::month(testCase.inside);
        EXPECT_EQ(month.month, testCase.month);
        EXPECT_EQ(month.days, testCase.days);
        EXPECT_EQ(month.leadingBlanks, testCase.leadingBlanks);
        EXPECT_EQ(Dates::dayNumber(month.start), month.firstDay);
        EXPECT_EQ(Dates::dayNumber(DashboardItems::shifted(month, 1).start), month.firstDay + month.days);
    }

    Database db;
    for (int course = 0; course < 6; ++course) {
        const std::string id = "c" + std::to_string(course);
        db.settings.courses.push_back(Course{.id = id, .name = id});
        Assessment entry = item("x", at(day));
        entry.courseID = id;
        entry.id = id + ":x";
        entry.release = at(2 * day);
        db.assessments.push_back(entry);
    }
    load(db);
    const DashboardItems::Month month = DashboardItems::month(now);
    const auto marks = DashboardItems::marks(store, month);
    const auto tomorrow = static_cast<std::size_t>(Dates::dayNumber(at(day)) - month.firstDay);
    EXPECT_EQ(marks[tomorrow].due.size(), DashboardItems::maxDots);
    EXPECT_EQ(marks[tomorrow].dueCount, 6);
    EXPECT_TRUE(marks[tomorrow + 1].released.empty()) << "releases show only when enabled";
}

class DashboardWidgetTest : public DashboardTest {
protected:
    void SetUp() override
    {
        load(sample::database(200, now));
        dashboard = std::make_unique<Dashboard>(store);
        dashboard->resize(440, 730);
        dashboard->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dashboard.get()));
        list = dashboard->list();
        ASSERT_GT(list->count(), 0);
    }

    QToolButton* button(const QString& text) const
    {
        for (QToolButton* candidate : dashboard->findChildren<QToolButton*>()) {
            if (candidate->text() == text)
                return candidate;
        }
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }

    Assessment rowItem(int row) const
    {
        const auto items = DashboardItems::visible(store, dashboard->filter(), dashboard->calendar()->selected());
        return items.at(static_cast<std::size_t>(row));
    }

    // Opens the row's menu with its button and chooses an action.
    void choose(int row, const QString& action)
    {
        list->scrollTo(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->menuRect(row).center());
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        const auto actions = menu->actions();
        const auto found
            = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == action; });
        ASSERT_NE(found, actions.end()) << action.toStdString();
        (*found)->trigger();
        menu->close();
    }

    int rowOf(const std::string& id) const
    {
        const auto items = DashboardItems::visible(store, dashboard->filter(), dashboard->calendar()->selected());
        const auto found = std::find_if(items.begin(), items.end(), [&](const Assessment& a) { return a.id == id; });
        return found == items.end() ? -1 : static_cast<int>(found - items.begin());
    }

    std::unique_ptr<Dashboard> dashboard;
    DeadlineList* list = nullptr;
};

TEST_F(DashboardWidgetTest, RowActionsMarkDoneAndHiddenAndAreSaved)
{
    button(QStringLiteral("예정"))->click();
    const Assessment first = rowItem(0);
    ASSERT_FALSE(Engine::done(first, store.db()));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->completionRect(0).center());
    EXPECT_TRUE(store.db().overrides.at(first.id).completed);
    EXPECT_EQ(rowOf(first.id), -1) << "a done item is no longer upcoming";

    const Assessment second = rowItem(0);
    choose(0, QStringLiteral("메뉴바에서 숨기기"));
    EXPECT_TRUE(store.db().overrides.at(second.id).hidden);

    button(QStringLiteral("완료·숨김"))->click();
    const int doneRow = rowOf(first.id);
    ASSERT_GE(doneRow, 0);
    choose(doneRow, QStringLiteral("수동 완료 해제"));
    EXPECT_FALSE(store.db().overrides.at(first.id).completed);

    const Database file = saved();
    EXPECT_FALSE(file.overrides.at(first.id).completed) << "the override stays, back at its defaults";
    EXPECT_TRUE(file.overrides.at(second.id).hidden);
}

TEST_F(DashboardWidgetTest, AnAutoCompletedItemCannotBeToggledByHand)
{
    Assessment finished = item("finished", at(day));
    finished.courseID = store.db().settings.courses.front().id;
    finished.id = finished.courseID + ":zz-finished";
    finished.submitted = true;
    store.update([&](Database& db) { db.assessments.push_back(finished); });
    const int row = rowOf(finished.id);
    ASSERT_GE(row, 0);
    list->scrollTo(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->completionRect(row).center());
    EXPECT_FALSE(store.db().overrides.contains(finished.id));
}

TEST_F(DashboardWidgetTest, AHandSetDeadlineSurvivesALaterMerge)
{
    Assessment chosen;
    dashboard->editRequested = [&](const Assessment& requested) { chosen = requested; };
    const Assessment first = rowItem(0);
    choose(0, QStringLiteral("마감 수정·상세 보기"));
    ASSERT_EQ(chosen.id, first.id);

    // What the edit sheet saves, then a sync that moves the site's deadline.
    const Instant mine = at(10 * day);
    store.override(chosen, [&](UserOverride& override) { override.due = mine; });
    std::vector<Assessment> fresh;
    for (const Assessment& stored : store.db().assessments) {
        if (stored.courseID == chosen.courseID && !stored.missing) {
            fresh.push_back(stored);
            if (stored.id == chosen.id)
                fresh.back().due = at(20 * day);
        }
    }
    store.update([&](Database& db) { Engine::merge(fresh, chosen.courseID, db, now); });

    const auto stored = std::find_if(store.db().assessments.begin(), store.db().assessments.end(),
        [&](const Assessment& a) { return a.id == chosen.id; });
    ASSERT_NE(stored, store.db().assessments.end());
    EXPECT_EQ(store.due(*stored), mine);
    EXPECT_TRUE(DashboardItems::row(store, *stored).edited);
    const auto day10 = Dates::dayNumber(mine);
    EXPECT_TRUE(codes(DashboardItems::visible(store, Filter::all, day10)).contains(chosen.code));
    EXPECT_EQ(saved().overrides.at(chosen.id).due, mine);
}

TEST_F(DashboardWidgetTest, TheSortChoiceIsSavedInTheSettings)
{
    EXPECT_TRUE(button(QStringLiteral("일정순"))->isChecked()) << "an absent choice is by date";
    button(QStringLiteral("이름순"))->click();
    EXPECT_EQ(store.db().settings.listSort, "title");
    EXPECT_EQ(saved().settings.listSort, "title");
    EXPECT_TRUE(button(QStringLiteral("이름순"))->isChecked());
    EXPECT_FALSE(button(QStringLiteral("일정순"))->isChecked());
}

TEST_F(DashboardWidgetTest, PickingADayListsItsItemsAndAFilterClearsIt)
{
    MonthCalendar* calendar = dashboard->calendar();
    const int today = static_cast<int>(Dates::dayNumber(now) - calendar->month().firstDay) + 1;
    QTest::mouseClick(calendar->dayButton(today), Qt::LeftButton);
    ASSERT_EQ(calendar->selected(), Dates::dayNumber(now));
    EXPECT_EQ(
        list->count(), static_cast<int>(DashboardItems::visible(store, Filter::all, Dates::dayNumber(now)).size()));

    QTest::keyClick(calendar->dayButton(today), Qt::Key_Down);
    EXPECT_EQ(calendar->selected(), Dates::dayNumber(now) + 7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(calendar->selected(), Dates::dayNumber(now) + 6);

    button(QStringLiteral("지난 마감"))->click();
    EXPECT_EQ(calendar->selected(), std::nullopt);
    EXPECT_EQ(dashboard->filter(), Filter::overdue);
}

TEST_F(DashboardWidgetTest, HeaderButtonsCallTheirHooksAndAnUnsetHookDoesNothing)
{
    int settings = 0;
    store.settingsWindow = [&] { ++settings; };
    button(QStringLiteral("⚙"))->click();
    button(QStringLiteral("◑"))->click(); // colorsWindow is unset
    EXPECT_EQ(settings, 1);

    int syncs = 0;
    store.sync = [&] { ++syncs; };
    button(QStringLiteral("⟳ 지금 새로고침"))->click();
    store.setBrevaneSyncing(true);
    EXPECT_FALSE(button(QStringLiteral("⟳ 지금 새로고침"))->isEnabled());
    EXPECT_EQ(syncs, 1);
}

} // namespace
} // namespace vantory
