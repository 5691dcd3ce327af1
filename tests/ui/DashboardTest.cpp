// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Dashboard.h"

#include "model/Dates.h"
#include "store/SiteChoice.h"
#include "ui/DashboardItems.h"
#include "ui/DeadlineList.h"
#include "ui/MonthCalendar.h"
#include "ui/ScreenWindow.h"

#include "ScreenTest.h"

#include <set>

namespace vantory {
namespace {

using DashboardItems::Filter;

// Wednesday 2025-10-15 12:00 in Vancouver (19:00 UTC).
const Instant now = instantFromSeconds(1760554800);
const std::int64_t today = Dates::dayNumber(now, Zone());
constexpr std::chrono::duration<double> day{86400};

Assessment item(const std::string& code, std::optional<Instant> due, const std::string& course = "c1")
{
    return {.id = course + ":" + code, .courseID = course, .code = code, .category = "Homework", .due = due};
}

class DashboardTest : public test::ScreenTest {
protected:
    DashboardTest()
        : ScreenTest(now)
    {
        load(sample::database(200, now));
        dashboard.resize(440, 730);
        dashboard.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dashboard));
    }

    QToolButton* button(const char* text)
    {
        for (QToolButton* candidate : dashboard.findChildren<QToolButton*>())
            if (candidate->text() == QString::fromUtf8(text))
                return candidate;
        throw std::invalid_argument(text);
    }

    // The first shown label whose text starts so.
    QLabel* label(const QString& start)
    {
        for (QLabel* candidate : dashboard.findChildren<QLabel*>())
            if (candidate->isVisibleTo(&dashboard) && candidate->text().startsWith(start))
                return candidate;
        return nullptr;
    }
    std::vector<Assessment> rows() const
    {
        return DashboardItems::visible(store, dashboard.filter(), calendar->selected());
    }
    int rowOf(const std::string& id) const
    {
        const auto items = rows();
        const auto found = std::find_if(items.begin(), items.end(), [&](const Assessment& a) { return a.id == id; });
        return found == items.end() ? -1 : static_cast<int>(found - items.begin());
    }

    // Clicks the row's completion mark, or opens the row's menu with its button and chooses `action`.
    void click(int row, const char* action = nullptr)
    {
        list->scrollTo(list->model()->index(row, 0));
        const QRect target = action ? list->menuRect(row) : list->completionRect(row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, target.center());
        if (!action)
            return;
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* entry : menu->actions())
            if (entry->text() == QString::fromUtf8(action))
                entry->trigger();
        menu->close();
    }

    Dashboard dashboard{store};
    DeadlineList* list = dashboard.list();
    MonthCalendar* calendar = dashboard.calendar();
};

TEST_F(DashboardTest, FiltersAndSelectedDaysChooseTheListedItems)
{
    // One enabled course whose items cover every filter rule, and one disabled course.
    Database db;
    db.settings.courses = {{.id = "c1", .name = "CS 101"}, {.id = "c2", .name = "Off", .enabled = false}};
    db.assessments = {item("auto", now - 2 * day), item("done-past", now - day), item("future", now + day),
        item("hidden", now + 2 * day), item("now", now), item("override-due", std::nullopt),
        item("release", std::nullopt), item("undated", std::nullopt), item("other", now + day, "c2")};
    db.assessments[0].score = 100, db.assessments[6].release = now + 3 * day;
    db.overrides = {{"c1:done-past", {.completed = true}}, {"c1:hidden", {.hidden = true}},
        {"c1:override-due", {.due = now + 4 * day}}};
    load(db);
    const std::tuple<const char*, Filter, std::optional<std::int64_t>, bool, std::set<std::string>> cases[]
        = {{"all enabled items", Filter::all, {}, false,
               {"future", "now", "done-past", "hidden", "undated", "release", "auto", "override-due"}},
            {"due now is not upcoming; hidden is left out", Filter::upcoming, {}, false, {"future", "override-due"}},
            {"undated and not done", Filter::undated, {}, false, {"undated", "release"}},
            {"due now is overdue; done items are not", Filter::overdue, {}, false, {"now"}},
            {"done, auto-completed or hidden", Filter::doneOrHidden, {}, false, {"done-past", "hidden", "auto"}},
            {"a day ignores the filter", Filter::undated, today + 1, false, {"future"}},
            {"the user's due date counts", Filter::all, today + 4, false, {"override-due"}},
            {"releases only when shown", Filter::all, today + 3, false, {}},
            {"releases when shown", Filter::all, today + 3, true, {"release"}},
            {"a day keeps what was due earlier in it", Filter::all, today, false, {"now"}}};
    for (const auto& [name, filter, selected, showReleases, expected] : cases) {
        store.update([&](Database& stored) { stored.settings.showReleases = showReleases; });
        std::set<std::string> codes;
        for (const Assessment& listed : DashboardItems::visible(store, filter, selected))
            codes.insert(listed.code);
        EXPECT_EQ(codes, expected) << name;
    }
}

TEST_F(DashboardTest, MonthsStartOnMondayWithUpToFourCourseDotsPerDay)
{
    // June 2025 starts on a Sunday, February 2024 on a Thursday; 1 October 00:00 UTC is 30 September here.
    for (const auto& [inside, month, days, blanks] :
        {std::tuple{1749600000, 6, 30, 6}, {1709200000, 2, 29, 3}, {1759276800, 9, 30, 0}}) {
        const DashboardItems::Month shown = DashboardItems::month(instantFromSeconds(inside), Zone());
        EXPECT_EQ(std::tie(shown.month, shown.days, shown.leadingBlanks), std::tie(month, days, blanks));
        EXPECT_EQ(DashboardItems::shifted(shown, 1).firstDay, shown.firstDay + shown.days);
    }
    Database db;
    for (const char* id : {"c0", "c1", "c2", "c3", "c4", "c5"}) {
        db.settings.courses.push_back(Course{.id = id, .name = id});
        db.assessments.push_back(item("x", now + day, id));
        db.assessments.back().release = now + 2 * day;
    }
    load(db);
    const DashboardItems::Month month = DashboardItems::month(now, Zone());
    const auto marks = DashboardItems::marks(store, month);
    const auto tomorrow = static_cast<std::size_t>(today + 1 - month.firstDay);
    EXPECT_EQ(std::tuple(marks[tomorrow].due.size(), marks[tomorrow].dueCount), std::tuple(DashboardItems::maxDots, 6));
    EXPECT_TRUE(marks[tomorrow + 1].released.empty()) << "releases show only when enabled";
}

TEST_F(DashboardTest, RowActionsMarkDoneHiddenAndEditAndAreSaved)
{
    button("예정")->click();
    const Assessment first = rows().at(0);
    click(0);
    EXPECT_EQ(std::tuple(store.db().overrides.at(first.id).completed, rowOf(first.id)), std::tuple(true, -1));

    const Assessment second = rows().at(0);
    click(0, "메뉴바에서 숨기기");

    // The edit entry opens the row's item; its row then shows the date set by hand.
    Assessment chosen;
    dashboard.editRequested = [&](const Assessment& requested) { chosen = requested; };
    click(0, "마감 수정·상세 보기");
    ASSERT_TRUE(chosen.id == rows().at(0).id && !DashboardItems::row(store, chosen).edited);
    store.override(chosen, [](UserOverride& override) { override.due = now + 10 * day; });
    EXPECT_TRUE(DashboardItems::row(store, chosen).edited);

    button("완료·숨김")->click();
    ASSERT_GE(rowOf(first.id), 0);
    click(rowOf(first.id), "수동 완료 해제");
    const Database file = saved();
    EXPECT_TRUE(!file.overrides.at(first.id).completed && file.overrides.at(second.id).hidden)
        << "the override stays, back at its defaults";

    Assessment finished = item("zz-finished", now + day, store.db().settings.courses.front().id);
    finished.submitted = true;
    const QString before = calendar->dayButton(16)->accessibleName();
    store.update([&](Database& db) { db.assessments.push_back(finished); });
    EXPECT_NE(calendar->dayButton(16)->accessibleName(), before) << "the calendar counts a new item on its day";
    click(rowOf(finished.id));
    EXPECT_FALSE(store.db().overrides.contains(finished.id)) << "an auto-completed item is not toggled by hand";
}

TEST_F(DashboardTest, PickingADayListsItsItemsAFilterClearsItAndTheMonthFollowsTheSchoolZone)
{
    QWidget* todayButton = calendar->dayButton(static_cast<int>(today - calendar->month().firstDay) + 1);
    QTest::mouseClick(todayButton, Qt::LeftButton);
    ASSERT_EQ(calendar->selected(), today);
    EXPECT_EQ(list->count(), static_cast<int>(DashboardItems::visible(store, Filter::all, today).size()));
    QTest::keyClick(todayButton, Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(calendar->selected(), today + 6);
    button("지난 마감")->click();
    EXPECT_EQ(std::tuple(calendar->selected(), dashboard.filter()), std::tuple(std::nullopt, Filter::overdue));

    // Another school zone moves the month's bounds, and the legend names its city.
    EXPECT_TRUE(test::labels(calendar).contains(u"Vancouver · PDT"_s));
    store.update([](Database& db) { db.settings.timeZone = "Asia/Seoul"; });
    EXPECT_EQ(std::tuple(calendar->month().month, secondsSince1970(calendar->month().start)),
        std::tuple(10, 1759244400)); // 1 October 00:00 in Seoul
    EXPECT_TRUE(test::labels(calendar).contains(u"Seoul · GMT+9"_s));
}

TEST_F(DashboardTest, HeaderButtonsAreSavedOrCallTheirHooksAndStatusLinesWarnInOrangeOfTheSitesInUseOnly)
{
    EXPECT_TRUE(button("일정순")->isChecked()) << "an absent choice is by date";
    button("이름순")->click();
    EXPECT_EQ(saved().settings.listSort, "title");
    int settings = 0, syncs = 0;
    store.settingsWindow = [&] { ++settings; };
    store.sync = [&] { ++syncs; };
    button("⚙")->click();
    button("◑")->click(); // colorsWindow is unset: nothing happens
    button("⟳ 지금 새로고침")->click();
    store.setBrevaneSyncing(true);
    EXPECT_EQ(std::tuple(settings, syncs, button("⟳ 지금 새로고침")->isEnabled()), std::tuple(1, 1, false));

    const auto drawn = [&] {
        QLabel* shown = label(u"BrevaneLearn · "_s);
        return shown ? shown->palette().color(shown->foregroundRole()) : QColor();
    };
    EXPECT_LT(drawn().red(), 200);
    store.setNeedsLogin(true);
    EXPECT_GT(drawn().red(), drawn().blue() + 100) << "orange";
    store.setStatus("과목 목록 조회 실패 · 기존 일정 유지", "사이트 주소를 찾을 수 없습니다 (오류 -105)");
    EXPECT_EQ(label(u"BrevaneLearn · "_s)->text(),
        u"BrevaneLearn · 과목 목록 조회 실패 · 기존 일정 유지\n사이트 주소를 찾을 수 없습니다 (오류 -105)"_s);

    const SiteChoice sites(store, {});
    store.update([](Database& db) {
        db.settings.assessmentBaseURL = "";
        db.settings.canvasBaseURL = "https://canvas.school.edu";
    });
    EXPECT_EQ(label(u"BrevaneLearn"_s), nullptr) << "a site without an address is never mentioned";
    store.update([](Database& db) { db.assessments.clear(); });
    EXPECT_NE(label(u"Canvas를 연결해 주세요"_s), nullptr);
}

TEST_F(DashboardTest, TheCalendarServersLineShowsWithAServerItsUploadAndItsFailureInOrange)
{
    const auto line = [this] { return label(u"캘린더 서버"_s); };
    store.setCalendarServerStatus("캘린더 서버 동기화 중");
    EXPECT_EQ(line(), nullptr) << "no server, no line";
    store.update([](Database& db) { db.settings.calendarServerURL = "https://cloud.example.com/dav/tasks/"; });
    ASSERT_NE(line(), nullptr);
    store.setCalendarServerProgress(Store::Progress{120, 840});
    EXPECT_EQ(line()->text(), u"캘린더 서버 · 할 일 보내는 중 120/840"_s);
    store.setCalendarServerProgress(std::nullopt);
    const QColor calm = line()->palette().color(line()->foregroundRole());
    store.setCalendarServerStatus(
        "캘린더 서버 동기화 실패 · 기존 일정 유지", "캘린더 서버가 연결을 거부했습니다 (오류 1)");
    const QColor drawn = line()->palette().color(line()->foregroundRole());
    EXPECT_TRUE(drawn != calm && drawn.red() > drawn.blue() + 100) << "orange";
    EXPECT_EQ(store.warnings(), std::vector{line()->text().toStdString()}) << "the tooltip warns of it too";
}

TEST_F(DashboardTest, AHiddenDashboardIgnoresTheStoreUntilItShows)
{
    QSignalSpy rows(list->model(), &QAbstractItemModel::dataChanged);
    dashboard.hide();
    store.setNow(store.now() + std::chrono::minutes(1));
    store.setStatus("과목 목록 조회 실패 · 기존 일정 유지");
    EXPECT_TRUE(rows.count() == 0 && !test::labels(&dashboard).contains(u"조회 실패"_s));
    dashboard.show();
    EXPECT_TRUE(rows.count() > 0 && test::labels(&dashboard).contains(u"조회 실패"_s));
}

TEST_F(DashboardTest, ItGrowsWithItsFontAndScrollsRatherThanSqueezesWhereTheScreenIsTooSmall)
{
    const QScrollBar* scrollBar = dashboard.findChild<QScrollArea*>()->verticalScrollBar();
    QWidget* day = calendar->dayButton(1);
    int width = 0;
    for (const double points : {10.0, 15.0}) {
        QFont font = dashboard.font();
        font.setPointSizeF(points);
        dashboard.setFont(font);
        QCoreApplication::processEvents(); // the layouts follow the font
        for (const bool small : {true, false}) {
            const QSize wanted = dashboard.sizeHint();
            dashboard.resize(wanted.width(), small ? wanted.height() / 2 : wanted.height());
            QCoreApplication::processEvents();
            EXPECT_EQ(
                std::tuple(scrollBar->isVisible(), day->height() >= day->sizeHint().height()), std::tuple(small, true))
                << points << ": held smaller, it scrolls; nothing is squeezed";
        }
        EXPECT_GE(dashboard.width(), width * 3 / 2) << points;
        EXPECT_GE(list->viewport()->height(), 2 * list->sizeHintForRow(0)) << points << ": two rows at least";
        width = dashboard.width();
    }

    // Measured before it first shows, as its window does, it is what it will be.
    Dashboard fresh(store);
    const QSize asked = fresh.sizeHint();
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    EXPECT_EQ(fresh.sizeHint(), asked);
    const ScreenWindow window(u"Vantory"_s, new Dashboard(store));
    EXPECT_EQ(window.width(), asked.width());
    EXPECT_LE(window.height(), QGuiApplication::primaryScreen()->availableGeometry().height());
}

} // namespace
} // namespace vantory
