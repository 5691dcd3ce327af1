#include "SampleDatabase.h"
#include "support/ManualScheduler.h"
#include "support/TemporaryFolder.h"

#include "app/AppDelegate.h"
#include "app/StatusContentView.h"
#include "app/SingleInstance.h"
#include "app/StatusItem.h"
#include "model/StateFile.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <gtest/gtest.h>

using namespace vantory;
namespace fs = std::filesystem;

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
        for (const auto& [code, hours] : {std::pair{"A", 1.0}, {"B", 3.0}}) {
            db.assessments.push_back({.id = std::string("1:") + code, .courseID = "1", .code = code, .title = code,
                                      .category = "Preclass", .availability = "", .due = start + std::chrono::hours(int(hours)),
                                      .deadlineStatus = "known", .checkedAt = start});
        }
        db.settings.normalize();
        StateFile(directory / "state.json").save(db);
    }

    test::TemporaryFolder directory;
    test::ManualScheduler scheduler{start};
};

} // namespace

TEST_F(AppDelegateTest, ShowsTheStoredDeadlineAtStartAndArmsTheBoundary)
{
    writeState();
    AppDelegate delegate(directory / "state.json", scheduler);
    delegate.start();

    EXPECT_EQ(delegate.lastLine().plainText, "313 | Preclass (1h0m)");
    EXPECT_EQ(delegate.item()->length(), delegate.lastLine().width);
    // The first slot lasts 10 s, sooner than the first deadline; the heartbeat waits too.
    EXPECT_EQ(delegate.boundary().remaining(), std::chrono::seconds(10));
    EXPECT_EQ(scheduler.pending(), 2u);
    scheduler.advance(std::chrono::seconds(10));
    EXPECT_EQ(delegate.boundary().remaining(), std::chrono::seconds(5)) << "the second slot";
}

TEST_F(AppDelegateTest, RecomposesAfterEveryPersistedChange)
{
    writeState();
    AppDelegate delegate(directory / "state.json", scheduler);
    delegate.start();

    delegate.store().override(delegate.store().db().assessments.front(), [](UserOverride& o) { o.hidden = true; });
    EXPECT_EQ(delegate.lastLine().plainText, "313 | Preclass (3h0m)");

    scheduler.jump(std::chrono::hours(4)); // the overdue timers fire once, at once
    scheduler.advance({});
    EXPECT_EQ(delegate.lastLine().plainText, "313 | 예정된 마감 없음");
    EXPECT_EQ(delegate.boundary().remaining(), std::chrono::seconds(60));
}

TEST_F(AppDelegateTest, StartsWithThePlaceholderWithoutAStateFile)
{
    AppDelegate delegate(directory / "state.json", scheduler);
    delegate.start();
    EXPECT_EQ(delegate.lastLine().plainText, "Vantory · 연결");
    EXPECT_EQ(delegate.store().status(), Store::initialStatus);
    EXPECT_FALSE(fs::exists(directory / "state.json"));
}

TEST(SingleInstanceTest, ASecondLaunchForTheSameFileHandsOver)
{
    const test::TemporaryFolder folder;
    const fs::path file = folder / "state.json";
    SingleInstance first(file);
    ASSERT_TRUE(first.claim({QStringLiteral("vantory")}));
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    SingleInstance second(file);
    EXPECT_FALSE(second.claim({QStringLiteral("vantory"), QStringLiteral("--show-calendar")}));
    ASSERT_TRUE(activations.wait(5000));
    EXPECT_EQ(activations.front().front().toStringList().last(), QStringLiteral("--show-calendar"));

    SingleInstance other(file.parent_path() / "other" / "state.json");
    EXPECT_TRUE(other.claim({QStringLiteral("vantory")}));
}

// Screenshots of the real strip for the docs, taken only when VANTORY_SCREENSHOT_DIR names a folder.
TEST_F(AppDelegateTest, SavesStripScreenshotsWhenAsked)
{
    const QString folder = qEnvironmentVariable("VANTORY_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "set VANTORY_SCREENSHOT_DIR to write screenshots";

    Database db = sample::database(60, start);
    db.settings.statusFontSize = 13;
    for (Course& course : db.settings.courses)
        course.name = course.id == "4130" ? "알고리즘" : course.name; // the nearest deadline's course, in Korean
    StateFile(directory / "state.json").save(db);
    db.settings.statusWidthMode = "fixed";
    db.settings.statusWidth = 170;
    StateFile(directory / "narrow" / "state.json").save(db);

    const auto shoot = [&](const fs::path& state, const QPalette& palette, const QString& name) {
        QApplication::setPalette(palette);
        AppDelegate delegate(state, scheduler);
        delegate.start();
        QWidget* strip = delegate.item()->view()->window();
        ASSERT_TRUE(strip->grab().save(QDir(folder).filePath(name)));
    };
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x24, 0x24, 0x24));
    dark.setColor(QPalette::WindowText, Qt::white);
    QPalette light;
    light.setColor(QPalette::Window, QColor(0xF2, 0xF2, 0xF2));
    light.setColor(QPalette::WindowText, Qt::black);

    shoot(directory / "state.json", light, QStringLiteral("strip-light.png"));
    shoot(directory / "state.json", dark, QStringLiteral("strip-dark.png"));
    shoot(directory / "narrow" / "state.json", dark, QStringLiteral("strip-truncated.png"));
    QApplication::setPalette(QPalette());
}
