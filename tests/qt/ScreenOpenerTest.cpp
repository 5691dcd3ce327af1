// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScreenOpener.h"

#include "app/AppDelegate.h"
#include "app/Popover.h"
#include "app/StatusItem.h"
#include "app/TrayMenu.h"
#include "ui/EditAssessment.h"
#include "ui/ScreenWindow.h"

#include "support/ManualScheduler.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include "desktop/StatusContentView.h"

using namespace vantory;

namespace {

// The windows over stand-in screens that record what they were made for.
class ScreenOpenerTest : public ::testing::Test {
protected:
    test::SiteScope sites; // both sites have addresses, so each sign-in entry opens its sign-in
    test::TemporaryFolder folder;
    test::ManualScheduler scheduler{instantFromSeconds(0)};
    AppDelegate delegate{folder / "state.json", scheduler};
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

TEST_F(ScreenOpenerTest, StripClicksALaterLaunchAndTrayEntriesOpenEachWindowOnceOrLogInAndCloseThePopover)
{
    QWidget* strip = delegate.item()->view()->window();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.item()->stripShown(); }, 1000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(strip));
    QTest::mouseClick(strip, Qt::LeftButton);
    EXPECT_TRUE(windows.popover()->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(windows.popover())->role(), QAccessible::Dialog)
        << "no filler to a screen reader";
    Q_EMIT delegate.item()->activated();
    EXPECT_FALSE(windows.popover()->isVisible());
    Q_EMIT delegate.item()->activated();
    EXPECT_TRUE(windows.popover()->testAttribute(Qt::WA_KeyboardFocusChange)) << "focus drawn from the first frame";
    QTest::keyClick(windows.popover()->findChild<QLabel*>(), Qt::Key_Escape);
    EXPECT_FALSE(windows.popover()->isVisible()) << "Escape closes it";
    EXPECT_EQ(windows.calendarWindow(), nullptr);
    QTest::mouseClick(strip, Qt::RightButton);
    EXPECT_TRUE(windows.settingsWindow() && windows.settingsWindow()->isVisible());

    windows.handleArguments({QStringLiteral("vantory"), QStringLiteral("--login")});
    EXPECT_EQ(windows.calendarWindow(), nullptr);
    windows.handleArguments({QStringLiteral("vantory"), QStringLiteral("--show-calendar")});
    ASSERT_NE(windows.calendarWindow(), nullptr);
    windows.calendarWindow()->close();
    delegate.activate({QStringLiteral("vantory")}); // the single-instance hand-over
    EXPECT_TRUE(windows.calendarWindow()->isVisible());

    // The tray's entries: asked again after it was closed, a window is the one made the first time.
    TrayMenu& menu = *windows.trayMenu();
    menu.refresh();
    EXPECT_EQ(menu.actions().constFirst()->text(), QString::fromStdString(delegate.lastLine().plainText));

    const std::pair<const char*, ScreenWindow* (ScreenOpener::*)() const> cases[]
        = {{"캘린더 열기", &ScreenOpener::calendarWindow}, {"설정", &ScreenOpener::settingsWindow},
            {"색상 설정", &ScreenOpener::colorsWindow}, {"iPhone 캘린더 내보내기 (.ics)", &ScreenOpener::exportWindow},
            {"BrevaneLearn 로그인", nullptr}, {"Canvas 로그인", nullptr}};
    std::vector<ScreenWindow*> made[2];
    for (auto& round : made)
        for (const auto& [text, window] : cases) {
            QAction* action = menuEntry(text);
            ASSERT_NE(action, nullptr);
            windows.togglePopover();
            ASSERT_TRUE(windows.popover()->isVisible());
            action->trigger();
            EXPECT_FALSE(windows.popover()->isVisible()) << text;
            if (window) {
                round.push_back((windows.*window)());
                ASSERT_NE(round.back(), nullptr) << text;
                EXPECT_TRUE(round.back()->isVisible()) << text;
                round.back()->close();
            }
        }
    EXPECT_EQ(made[0], made[1]);
    EXPECT_EQ(logins, (std::vector<const char*>{"assessment", "canvas", "assessment", "canvas"}));
    EXPECT_EQ(std::tuple(settingsMade, dashboards), std::tuple(std::vector<bool>{false, true}, 2))
        << "the colours are a settings screen; the popover's dashboard and the calendar window's";

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

// Offscreen the popover is the managed window of Wayland sessions, which closes on focus loss.
TEST_F(ScreenOpenerTest, PopoverClosesWhenAnotherWindowTakesTheFocusAndTheClickThatTookItDoesNotReopenIt)
{
    Popover& popover = *windows.popover();
    QWidget other;
    const auto focusElsewhere = [&] {
        other.show();
        other.activateWindow();
        return QTest::qWaitForWindowActive(&other);
    };
    // Offscreen every window shown takes the focus, the strip too: it shows first.
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.item()->stripShown(); }, 1000));
    ASSERT_TRUE(QTest::qWaitForWindowActive(delegate.item()->view()->window()));
    windows.togglePopover();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popover));
    ASSERT_TRUE(focusElsewhere());
    EXPECT_FALSE(popover.isVisible()) << "closed on focus loss";
    windows.togglePopover();
    EXPECT_FALSE(popover.isVisible()) << "the click on the button that took the focus only closes";
    windows.togglePopover();
    EXPECT_TRUE(popover.isVisible()) << "the next click opens";

    ASSERT_TRUE(QTest::qWaitForWindowActive(&popover));
    ASSERT_TRUE(focusElsewhere());
    scheduler.advance(Popover::clickAfterFocusLoss);
    windows.togglePopover();
    EXPECT_TRUE(popover.isVisible()) << "a click well after the focus loss opens";
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popover));
    QTest::keyClick(&popover, Qt::Key_Escape);
    EXPECT_FALSE(popover.isVisible());
    windows.togglePopover();
    EXPECT_TRUE(popover.isVisible()) << "Escape is no click on the button";
    windows.closePopover();
}

TEST_F(ScreenOpenerTest, EditSheetOpensOverTheCalendarWindowAndInPlaceOfThePopover)
{
    const Assessment item{.id = "1:A", .courseID = "1", .code = "A", .title = "A"};
    windows.togglePopover();
    edit(item, windows.popover()->layout()->itemAt(0)->widget());
    EXPECT_EQ(std::tuple(windows.popover()->isVisible(),
                  std::ranges::count_if(QApplication::topLevelWidgets(),
                      [](QWidget* w) { return qobject_cast<EditAssessment*>(w) && w->isVisible(); })),
        std::tuple(false, 1));

    windows.showCalendar();
    edit(item, windows.calendarWindow());
    auto* sheet = windows.calendarWindow()->findChild<EditAssessment*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible() && sheet->windowModality() == Qt::WindowModal);
}

} // namespace
