#include "app/AppDelegate.h"

#include "app/StatusItem.h"
#include "model/StateFile.h"

#include "support/ManualScheduler.h"
#include "support/TemporaryFolder.h"

#include <QTest>

#include <filesystem>
#include <gtest/gtest.h>

#include "desktop/StatusContentView.h"

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
            db.assessments.push_back({.id = std::string("1:") + code,
                .courseID = "1",
                .code = code,
                .title = code,
                .category = "Preclass",
                .availability = "",
                .due = start + std::chrono::hours(int(hours)),
                .deadlineStatus = "known",
                .checkedAt = start});
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
