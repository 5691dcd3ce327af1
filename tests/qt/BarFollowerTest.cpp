// The bar mode's follower over a real state file, real file-system notifications and real timers.

#include "app/BarFollower.h"

#include "app/QtScheduler.h"
#include "model/StateFile.h"

#include "support/TemporaryFolder.h"

#include <QTest>

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

using namespace vantory;

namespace {

class BarFollowerTest : public ::testing::Test {
protected:
    // One deadline of `course`, `seconds` ahead.
    void save(const std::string& course, double seconds)
    {
        Database db;
        db.settings.courses = {{.id = "c1", .name = course}};
        db.assessments = {{.id = "1:HW", .courseID = "c1", .category = "Preclass"}};
        db.assessments[0].due = scheduler.now() + Instant::duration(seconds);
        StateFile(file).save(db);
    }
    bool arrives(std::size_t n)
    {
        return QTest::qWaitFor([&] { return lines.size() == n; }, 10000);
    }
    std::string text(std::size_t index) const { return nlohmann::json::parse(lines.at(index)).at("full_text"); }

    QtScheduler scheduler;
    test::TemporaryFolder folder;
    std::filesystem::path file = folder / "state.json";
    std::vector<std::string> lines;
    bool open = true, closed = false;
    BarFollower follower{file, BarFormat::i3blocks, scheduler, [this](const std::string& line) {
                             lines.push_back(line);
                             return open;
                         }};
};

} // namespace

TEST_F(BarFollowerTest, FollowsTheApplicationsSavesWithoutEverWriting)
{
    follower.follow([] {});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(text(0), "Vantory · 연결") << "no file yet: the fresh-install line";

    save("313", 2 * 86400 + 600);
    ASSERT_TRUE(arrives(2)) << "a new file is picked up";
    EXPECT_EQ(text(1).rfind("● 313 | Preclass (2d", 0), 0u) << text(1);

    // A later save with another name, beside a temporary an interrupted save of the application
    // left: the reader reads the new file and tidies nothing.
    std::ofstream(folder / "state.json.AbC123") << "{";
    save("CPSC 221", 2 * 86400 + 600);
    const std::string saved = test::contents(file);
    ASSERT_TRUE(arrives(3));
    EXPECT_NE(text(2).find("CPSC 221"), std::string::npos) << text(2);
    QTest::qWait(200);
    EXPECT_EQ(lines.size(), 3u) << "one save, one line";
    EXPECT_EQ(test::contents(file), saved);
    EXPECT_TRUE(std::filesystem::exists(folder / "state.json.AbC123"));

    std::ofstream(file, std::ios::trunc) << "{ not json";
    ASSERT_TRUE(arrives(4)) << "an edit in place is picked up";
    EXPECT_EQ(text(3), "Vantory | 일정 파일 오류");
}

TEST_F(BarFollowerTest, StopsWhenTheBarClosesThePipe)
{
    save("313", 3600);
    follower.follow([this] { closed = true; });
    ASSERT_EQ(lines.size(), 1u);
    open = false;
    save("221", 3600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, 10000));
    save("110", 3600);
    QTest::qWait(300);
    EXPECT_EQ(lines.size(), 2u) << "nothing is printed after the pipe closed";
}

TEST_F(BarFollowerTest, StopsAsSoonAsThePipesReaderLeaves)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    follower.follow([this] { closed = true; });
    follower.stopWhenPipeCloses(ends[1]);
    QTest::qWait(100);
    EXPECT_FALSE(closed) << "an open pipe keeps the follower";
    ::close(ends[0]);
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed; }, 10000));
    ::close(ends[1]);
}
