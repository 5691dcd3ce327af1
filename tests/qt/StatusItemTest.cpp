#include "app/StatusItem.h"

#include "app/AppDelegate.h"
#include "app/StripPreference.h"

#include "support/ManualScheduler.h"
#include "support/TemporaryFolder.h"

#include <QSettings>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>
#include <vector>

#include "desktop/StatusContentView.h"

using namespace vantory;

namespace {

QWidget* stripOf(const StatusItem& item)
{
    return item.view()->window();
}

} // namespace

TEST(StatusItemTest, TrayOnlyIsRememberedUntilTheStripIsAskedBack)
{
    const test::TemporaryFolder folder;
    QSettings settings(QString::fromStdString((folder / "Vantory.conf").string()), QSettings::IniFormat);
    const struct {
        QStringList arguments;
        bool wanted;
    } launches[] = {
        {{QStringLiteral("vantory")}, true},
        {{QStringLiteral("vantory"), QStringLiteral("--tray-only")}, false},
        {{QStringLiteral("vantory"), QStringLiteral("--data-dir"), QStringLiteral("/tmp/x")}, false},
        {{QStringLiteral("vantory"), QStringLiteral("--tray-only"), QStringLiteral("--with-strip")}, true},
        {{QStringLiteral("vantory")}, true},
    };
    for (const auto& launch : launches)
        EXPECT_EQ(StripPreference::stripWanted(launch.arguments, settings), launch.wanted)
            << launch.arguments.join(QLatin1Char(' ')).toStdString();
}

// Offscreen there is no tray, so the strip stays even in tray-only mode: the item never vanishes.
TEST(StatusItemTest, ShowsTheStripWithoutATrayEvenWhenTrayOnly)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    StatusItem item(120);
    item.setStripWanted(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return item.stripShown(); }, 1000));
    EXPECT_EQ(stripOf(item)->width(), 120);
}

TEST(StatusItemTest, ClicksReachTheWindowHooks)
{
    const test::TemporaryFolder folder;
    test::ManualScheduler scheduler{instantFromSeconds(1796587200)};
    AppDelegate delegate(folder / "state.json", scheduler);
    delegate.start();
    std::vector<const char*> opened;
    delegate.store().calendarWindow = [&] { opened.push_back("calendar"); };
    delegate.store().settingsWindow = [&] { opened.push_back("settings"); };

    QWidget* strip = stripOf(*delegate.item());
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.item()->stripShown(); }, 1000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(strip));
    QTest::mouseClick(strip, Qt::LeftButton);
    QTest::mouseClick(strip, Qt::RightButton);
    EXPECT_EQ(opened, (std::vector<const char*>{"calendar", "settings"}));
}
