#include "app/ScreenOpener.h"

#include "app/AppDelegate.h"
#include "app/StatusItem.h"
#include "app/TrayMenu.h"
#include "ui/EditAssessment.h"
#include "ui/ScreenWindow.h"

#include "support/ManualScheduler.h"
#include "support/TemporaryFolder.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

using namespace vantory;

namespace {

class ScreenOpenerTest : public ::testing::Test {
protected:
    ScreenOpenerTest()
    {
        delegate.start();
        windows = std::make_unique<ScreenOpener>(delegate, screens(),
            ScreenOpener::Logins{[this] { logins.push_back("assessment"); }, [this] { logins.push_back("canvas"); }});
    }

    ScreenOpener::Screens screens()
    {
        return {[this](Store&, ScreenOpener::EditOpener opener) {
                    edit = std::move(opener);
                    ++dashboards;
                    return new QLabel(QStringLiteral("dashboard"));
                },
            [this](Store&, bool colorOnly) {
                settingsMade.push_back(colorOnly);
                return new QLabel(QStringLiteral("settings"));
            }};
    }

    QAction* menuEntry(const ScreenOpener& windows, const QString& text)
    {
        for (QAction* action : windows.trayMenu()->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

    test::TemporaryFolder folder;
    test::ManualScheduler scheduler{instantFromSeconds(1796587200)};
    AppDelegate delegate{folder / "state.json", scheduler};
    ScreenOpener::EditOpener edit;
    int dashboards = 0;
    std::vector<bool> settingsMade;
    std::vector<const char*> logins;
    std::unique_ptr<ScreenOpener> windows;
};

} // namespace

TEST_F(ScreenOpenerTest, EachWindowIsCreatedOnceAndShownAgain)
{
    const std::pair<void (ScreenOpener::*)(), ScreenWindow* (ScreenOpener::*)() const> cases[] = {
        {&ScreenOpener::showSettings, &ScreenOpener::settingsWindow},
        {&ScreenOpener::showColors, &ScreenOpener::colorsWindow},
        {&ScreenOpener::showCalendar, &ScreenOpener::calendarWindow},
        {&ScreenOpener::showExport, &ScreenOpener::exportWindow},
    };
    for (const auto& [open, window] : cases) {
        EXPECT_EQ(((*windows).*window)(), nullptr);
        ((*windows).*open)();
        ScreenWindow* first = ((*windows).*window)();
        ASSERT_NE(first, nullptr);
        first->close();
        ((*windows).*open)();
        EXPECT_EQ(((*windows).*window)(), first);
        EXPECT_TRUE(first->isVisible());
    }
    EXPECT_EQ(settingsMade, (std::vector<bool>{false, true}));
    EXPECT_EQ(dashboards, 2); // the popover's and the calendar window's
}

TEST_F(ScreenOpenerTest, ItemClicksAndALaterLaunchOpenThePopoverTheSettingsAndTheCalendar)
{
    Q_EMIT delegate.item()->activated();
    EXPECT_TRUE(windows->popover()->isVisible());
    Q_EMIT delegate.item()->activated();
    EXPECT_FALSE(windows->popover()->isVisible());
    EXPECT_EQ(windows->calendarWindow(), nullptr);
    Q_EMIT delegate.item()->contextRequested();
    ASSERT_NE(windows->settingsWindow(), nullptr);
    EXPECT_TRUE(windows->settingsWindow()->isVisible());

    windows->handleArguments({QStringLiteral("vantory"), QStringLiteral("--login")});
    EXPECT_EQ(windows->calendarWindow(), nullptr);
    windows->handleArguments({QStringLiteral("vantory"), QStringLiteral("--show-calendar")});
    ASSERT_NE(windows->calendarWindow(), nullptr);
    windows->calendarWindow()->close();
    delegate.activate({QStringLiteral("vantory")}); // the single-instance hand-over
    EXPECT_TRUE(windows->calendarWindow()->isVisible());
}

// The tray entries call the Store's hooks, which the dashboard's buttons call too.
TEST_F(ScreenOpenerTest, TrayMenuEntriesOpenTheirWindowOrLoginAndCloseThePopover)
{
    TrayMenu& menu = *windows->trayMenu();
    menu.refresh();
    EXPECT_EQ(menu.actions().constFirst()->text(), QString::fromStdString(delegate.lastLine().plainText));

    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"캘린더 열기", [&] { return windows->calendarWindow() && windows->calendarWindow()->isVisible(); }},
        {"설정", [&] { return windows->settingsWindow() && windows->settingsWindow()->isVisible(); }},
        {"색상 설정", [&] { return windows->colorsWindow() && windows->colorsWindow()->isVisible(); }},
        {"iPhone 캘린더 내보내기 (.ics)",
            [&] { return windows->exportWindow() && windows->exportWindow()->isVisible(); }},
        {"BrevaneLearn 로그인", [&] { return logins == std::vector<const char*>{"assessment"}; }},
        {"Canvas 로그인",
            [&] {
                return logins == std::vector<const char*>{"assessment", "canvas"};
            }},
    };
    for (const auto& [text, opened] : cases) {
        SCOPED_TRACE(text);
        QAction* action = menuEntry(*windows, QString::fromUtf8(text));
        ASSERT_NE(action, nullptr);
        windows->togglePopover();
        ASSERT_TRUE(windows->popover()->isVisible());
        action->trigger();
        EXPECT_TRUE(opened());
        EXPECT_FALSE(windows->popover()->isVisible());
    }

    // No sync hook in this composition: the entry is there but disabled until one is set.
    QAction* refresh = menuEntry(*windows, QStringLiteral("지금 새로고침"));
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
    windows->togglePopover();
    edit(item, windows->popover()->layout()->itemAt(0)->widget());
    EXPECT_FALSE(windows->popover()->isVisible());
    auto sheets = [] {
        std::vector<EditAssessment*> found;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* sheet = qobject_cast<EditAssessment*>(widget); sheet && sheet->isVisible())
                found.push_back(sheet);
        return found;
    };
    ASSERT_EQ(sheets().size(), 1u);
    sheets().front()->reject();

    windows->showCalendar();
    edit(item, windows->calendarWindow());
    ASSERT_EQ(sheets().size(), 1u);
    EXPECT_EQ(sheets().front()->parentWidget(), windows->calendarWindow());
    EXPECT_EQ(sheets().front()->windowModality(), Qt::WindowModal);
    sheets().front()->reject();
}
