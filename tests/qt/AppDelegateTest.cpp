// The application's shell: its delegate, the status item, and the windows it opens.

#include "app/AppDelegate.h"

#include "app/ScreenOpener.h"
#include "app/StatusItem.h"
#include "app/StripPreference.h"
#include "app/TrayMenu.h"
#include "model/StateFile.h"
#include "ui/EditAssessment.h"
#include "ui/ScreenWindow.h"

#include "support/ManualScheduler.h"
#include "support/TemporaryFolder.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include "desktop/StatusContentView.h"

using namespace vantory;
using namespace std::chrono_literals;

namespace {

// 2026-12-06 20:00 UTC.
const Instant start = instantFromSeconds(1796587200);

class AppDelegateTest : public ::testing::Test {
protected:
    test::TemporaryFolder folder;
    test::ManualScheduler scheduler{start};
    AppDelegate delegate{folder / "state.json", scheduler};
};

TEST_F(AppDelegateTest, ShowsTheStoredDeadlineArmsTheBoundaryAndRecomposesAfterEveryChange)
{
    // One enabled course with deadlines 1 h and 3 h ahead of start.
    Database db;
    db.settings.courses = {{"1", "313", true, 2026}};
    for (const auto& [code, hours] : {std::pair{"A", 1h}, {"B", 3h}})
        db.assessments.push_back(
            {.id = std::string("1:") + code, .courseID = "1", .category = "Preclass", .due = start + hours});
    db.settings.normalize();
    StateFile(folder / "stored.json").save(db);
    AppDelegate delegate(folder / "stored.json", scheduler);
    delegate.start();
    EXPECT_EQ(delegate.lastLine().plainText, "313 | Preclass (1h0m)");
    EXPECT_EQ(delegate.item()->length(), delegate.lastLine().width);
    EXPECT_EQ(delegate.boundary().remaining(), 10s) << "the first slot lasts 10 s, sooner than the first deadline";

    delegate.store().override(delegate.store().db().assessments.front(), [](UserOverride& o) { o.hidden = true; });
    EXPECT_EQ(delegate.lastLine().plainText, "313 | Preclass (3h0m)");
    scheduler.jump(4h); // the overdue timers fire once, at once
    scheduler.advance({});
    EXPECT_EQ(delegate.lastLine().plainText, "313 | 예정된 마감 없음");
}

TEST_F(AppDelegateTest, StartsWithThePlaceholderWithoutAStateFileAndWritesNoneAndStripClicksReachTheWindows)
{
    delegate.start();
    EXPECT_EQ(delegate.lastLine().plainText, "Vantory · 연결");
    EXPECT_FALSE(std::filesystem::exists(folder / "state.json"));

    std::vector<const char*> opened;
    delegate.store().calendarWindow = [&] { opened.push_back("calendar"); };
    delegate.store().settingsWindow = [&] { opened.push_back("settings"); };
    QWidget* strip = delegate.item()->view()->window();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.item()->stripShown(); }, 1000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(strip));
    QTest::mouseClick(strip, Qt::LeftButton);
    QTest::mouseClick(strip, Qt::RightButton);
    EXPECT_EQ(opened, (std::vector<const char*>{"calendar", "settings"}));
}

TEST(StatusItemTest, TrayOnlyIsRememberedUntilTheStripIsAskedBack)
{
    const test::TemporaryFolder folder;
    QSettings settings(QString::fromStdString((folder / "Vantory.conf").string()), QSettings::IniFormat);
    for (const auto& [arguments, wanted] : {std::pair{QStringList{}, true}, {{QStringLiteral("--tray-only")}, false},
             {{QStringLiteral("--data-dir"), QStringLiteral("/tmp/x")}, false},
             {{QStringLiteral("--tray-only"), QStringLiteral("--with-strip")}, true}, {{}, true}})
        EXPECT_EQ(StripPreference::stripWanted(QStringList{QStringLiteral("vantory")} + arguments, settings), wanted)
            << arguments.join(u' ').toStdString();
}

// Offscreen there is no tray, so the strip stays even in tray-only mode: the item never vanishes.
TEST(StatusItemTest, ShowsTheStripWithoutATrayEvenWhenTrayOnly)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    StatusItem item(120);
    item.setStripWanted(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return item.stripShown(); }, 1000));
    EXPECT_EQ(item.view()->window()->width(), 120);
}

// The windows over stand-in screens that record what they were made for.
class ScreenOpenerTest : public AppDelegateTest {
protected:
    bool shown(ScreenWindow* (ScreenOpener::*window)() const) const
    {
        return (windows.*window)() && (windows.*window)()->isVisible();
    }

    QAction* menuEntry(const char* text) const
    {
        for (QAction* action : windows.trayMenu()->actions())
            if (action->text() == QString::fromUtf8(text))
                return action;
        ADD_FAILURE() << text;
        return nullptr;
    }

    ScreenOpener::EditOpener edit;
    int dashboards = 0;
    std::vector<bool> settingsMade;
    std::vector<const char*> logins;
    const bool started = (delegate.start(), true); // before the windows, which need the item
    ScreenOpener windows{delegate,
        {[this](Store&, ScreenOpener::EditOpener opener) {
             edit = std::move(opener);
             ++dashboards;
             return new QLabel(QStringLiteral("dashboard"));
         },
            [this](Store&, bool colorOnly) {
                settingsMade.push_back(colorOnly);
                return new QLabel(QStringLiteral("settings"));
            }},
        {[this] { logins.push_back("assessment"); }, [this] { logins.push_back("canvas"); }}};
};

TEST_F(ScreenOpenerTest, EachWindowIsCreatedOnceAndShownAgain)
{
    const std::pair<void (ScreenOpener::*)(), ScreenWindow* (ScreenOpener::*)() const> cases[] = {
        {&ScreenOpener::showSettings, &ScreenOpener::settingsWindow},
        {&ScreenOpener::showColors, &ScreenOpener::colorsWindow},
        {&ScreenOpener::showCalendar, &ScreenOpener::calendarWindow},
        {&ScreenOpener::showExport, &ScreenOpener::exportWindow},
    };
    for (const auto& [open, window] : cases) {
        EXPECT_EQ((windows.*window)(), nullptr);
        (windows.*open)();
        ScreenWindow* first = (windows.*window)();
        ASSERT_NE(first, nullptr);
        first->close();
        (windows.*open)();
        EXPECT_EQ((windows.*window)(), first);
        EXPECT_TRUE(first->isVisible());
    }
    EXPECT_EQ(settingsMade, (std::vector<bool>{false, true}));
    EXPECT_EQ(dashboards, 2); // the popover's and the calendar window's
}

TEST_F(ScreenOpenerTest, ItemClicksAndALaterLaunchOpenThePopoverTheSettingsAndTheCalendar)
{
    Q_EMIT delegate.item()->activated();
    EXPECT_TRUE(windows.popover()->isVisible());
    Q_EMIT delegate.item()->activated();
    EXPECT_FALSE(windows.popover()->isVisible());
    EXPECT_EQ(windows.calendarWindow(), nullptr);
    Q_EMIT delegate.item()->contextRequested();
    EXPECT_TRUE(shown(&ScreenOpener::settingsWindow));

    windows.handleArguments({QStringLiteral("vantory"), QStringLiteral("--login")});
    EXPECT_EQ(windows.calendarWindow(), nullptr);
    windows.handleArguments({QStringLiteral("vantory"), QStringLiteral("--show-calendar")});
    ASSERT_NE(windows.calendarWindow(), nullptr);
    windows.calendarWindow()->close();
    delegate.activate({QStringLiteral("vantory")}); // the single-instance hand-over
    EXPECT_TRUE(windows.calendarWindow()->isVisible());
}

// The tray entries call the Store's hooks, which the dashboard's buttons call too.
TEST_F(ScreenOpenerTest, TrayMenuEntriesOpenTheirWindowOrLoginAndCloseThePopover)
{
    TrayMenu& menu = *windows.trayMenu();
    menu.refresh();
    EXPECT_EQ(menu.actions().constFirst()->text(), QString::fromStdString(delegate.lastLine().plainText));

    using Logins = std::vector<const char*>;
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"캘린더 열기", [&] { return shown(&ScreenOpener::calendarWindow); }},
        {"설정", [&] { return shown(&ScreenOpener::settingsWindow); }},
        {"색상 설정", [&] { return shown(&ScreenOpener::colorsWindow); }},
        {"iPhone 캘린더 내보내기 (.ics)", [&] { return shown(&ScreenOpener::exportWindow); }},
        {"BrevaneLearn 로그인", [&] { return logins == Logins{"assessment"}; }},
        {"Canvas 로그인",
            [&] {
                return logins == Logins{"assessment", "canvas"};
            }},
    };
    for (const auto& [text, opened] : cases) {
        QAction* action = menuEntry(text);
        ASSERT_NE(action, nullptr);
        windows.togglePopover();
        ASSERT_TRUE(windows.popover()->isVisible());
        action->trigger();
        EXPECT_TRUE(opened() && !windows.popover()->isVisible()) << text;
    }

    // No sync hook in this composition: the entry is there but disabled until one is set.
    QAction* refresh = menuEntry("지금 새로고침");
    ASSERT_NE(refresh, nullptr);
    EXPECT_FALSE(refresh->isEnabled());
    int syncs = 0;
    delegate.store().sync = [&] { ++syncs; };
    menu.refresh();
    refresh->trigger();
    EXPECT_EQ(syncs, 1);
}

TEST_F(ScreenOpenerTest, EditSheetOpensOverTheCalendarWindowAndInPlaceOfThePopover)
{
    const Assessment item{.id = "1:A", .courseID = "1", .code = "A", .title = "A"};
    const auto sheet = [] {
        std::vector<EditAssessment*> found;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* sheet = qobject_cast<EditAssessment*>(widget); sheet && sheet->isVisible())
                found.push_back(sheet);
        EXPECT_EQ(found.size(), 1u);
        return found.empty() ? nullptr : found.front();
    };
    windows.togglePopover();
    edit(item, windows.popover()->layout()->itemAt(0)->widget());
    EXPECT_FALSE(windows.popover()->isVisible());
    ASSERT_NE(sheet(), nullptr);
    sheet()->reject();

    windows.showCalendar();
    edit(item, windows.calendarWindow());
    ASSERT_NE(sheet(), nullptr);
    EXPECT_EQ(std::tuple(sheet()->parentWidget(), sheet()->windowModality()),
        std::tuple(windows.calendarWindow(), Qt::WindowModal));
    sheet()->reject();
}

} // namespace
