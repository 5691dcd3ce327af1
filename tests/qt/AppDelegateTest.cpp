#include "app/AppDelegate.h"

#include "app/StatusItem.h"
#include "app/StripPreference.h"
#include "model/StateFile.h"

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
    // One enabled course with deadlines 1 h and 3 h ahead of start.
    void writeState()
    {
        Database db;
        db.settings.courses = {{"1", "313", true, 2026}};
        for (const auto& [code, hours] : {std::pair{"A", 1h}, {"B", 3h}})
            db.assessments.push_back({.id = std::string("1:") + code,
                .courseID = "1",
                .title = code,
                .category = "Preclass",
                .due = start + hours,
                .deadlineStatus = "known"});
        db.settings.normalize();
        StateFile(folder / "state.json").save(db);
    }

    test::TemporaryFolder folder;
    test::ManualScheduler scheduler{start};
};

} // namespace

TEST_F(AppDelegateTest, ShowsTheStoredDeadlineArmsTheBoundaryAndRecomposesAfterEveryChange)
{
    writeState();
    AppDelegate delegate(folder / "state.json", scheduler);
    delegate.start();
    EXPECT_EQ(delegate.lastLine().plainText, "313 | Preclass (1h0m)");
    EXPECT_EQ(delegate.item()->length(), delegate.lastLine().width);
    // The first slot lasts 10 s, sooner than the first deadline.
    EXPECT_EQ(delegate.boundary().remaining(), 10s);

    delegate.store().override(delegate.store().db().assessments.front(), [](UserOverride& o) { o.hidden = true; });
    EXPECT_EQ(delegate.lastLine().plainText, "313 | Preclass (3h0m)");
    scheduler.jump(4h); // the overdue timers fire once, at once
    scheduler.advance({});
    EXPECT_EQ(delegate.lastLine().plainText, "313 | 예정된 마감 없음");
}

TEST_F(AppDelegateTest, StartsWithThePlaceholderWithoutAStateFileAndWritesNone)
{
    AppDelegate delegate(folder / "state.json", scheduler);
    delegate.start();
    EXPECT_EQ(delegate.lastLine().plainText, "Vantory · 연결");
    EXPECT_FALSE(std::filesystem::exists(folder / "state.json"));
}

TEST_F(AppDelegateTest, StripClicksReachTheWindowHooks)
{
    AppDelegate delegate(folder / "state.json", scheduler);
    delegate.start();
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
    EXPECT_EQ(item.view()->window()->width(), 120);
}
