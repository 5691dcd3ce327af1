#include "app/AppDelegate.h"
#include "app/SingleInstance.h"
#include "app/StatusItem.h"
#include "model/StateFile.h"

#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vantory;
namespace fs = std::filesystem;

namespace {

// 2026-12-06 20:00 UTC.
const Instant start = instantFromSeconds(1796587200);

class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory = fs::temp_directory_path() / ("vantory-app-" + std::to_string(::getpid()) + "-" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
    }
    void TearDown() override { fs::remove_all(directory); }

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

    AppDelegate::Clock clock()
    {
        return [this] { return now; };
    }

    fs::path directory;
    Instant now = start;
};

} // namespace

TEST_F(AppDelegateTest, ShowsTheStoredDeadlineAtStartAndArmsTheBoundary)
{
    writeState();
    AppDelegate delegate(directory / "state.json", clock());
    delegate.start();

    EXPECT_EQ(delegate.lastLine().plainText, "313 | Preclass (1h0m)");
    EXPECT_EQ(delegate.item()->length(), delegate.lastLine().width);
    EXPECT_TRUE(delegate.boundary().isActive());
    EXPECT_TRUE(delegate.boundary().isSingleShot());
    // The first slot lasts 10 s, sooner than the first deadline.
    EXPECT_NEAR(delegate.boundary().remainingTime(), 10000, 100);
}

TEST_F(AppDelegateTest, RecomposesAfterEveryPersistedChange)
{
    writeState();
    AppDelegate delegate(directory / "state.json", clock());
    delegate.start();

    delegate.store().override(delegate.store().db().assessments.front(), [](UserOverride& o) { o.hidden = true; });
    EXPECT_EQ(delegate.lastLine().plainText, "313 | Preclass (3h0m)");

    now = start + std::chrono::hours(4);
    delegate.updateStatus();
    EXPECT_EQ(delegate.lastLine().plainText, "313 | 예정된 마감 없음");
    EXPECT_NEAR(delegate.boundary().remainingTime(), 60000, 100);
}

TEST_F(AppDelegateTest, StartsWithThePlaceholderWithoutAStateFile)
{
    AppDelegate delegate(directory / "state.json", clock());
    delegate.start();
    EXPECT_EQ(delegate.lastLine().plainText, "Vantory · 연결");
    EXPECT_EQ(delegate.store().status(), Store::initialStatus);
    EXPECT_FALSE(fs::exists(directory / "state.json"));
}

TEST(SingleInstanceTest, ASecondLaunchForTheSameFileHandsOver)
{
    const fs::path file = fs::temp_directory_path() / ("vantory-single-" + std::to_string(::getpid())) / "state.json";
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
