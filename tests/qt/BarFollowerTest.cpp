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

constexpr int waitMs = 10000;

Database deadline(const std::string& course, Instant due)
{
    Database db;
    db.settings.courses = {{.id = "c1", .name = course}};
    db.assessments = {
        {.id = "1:HW", .courseID = "c1", .title = "HW", .category = "Preclass", .due = due, .deadlineStatus = "known"}};
    return db;
}

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), {}};
}

class BarFollowerTest : public ::testing::Test {
protected:
    std::string text(std::size_t index) const { return nlohmann::json::parse(lines.at(index)).at("full_text"); }

    QtScheduler scheduler;
    test::TemporaryFolder folder;
    std::filesystem::path file = folder / "state.json";
    std::vector<std::string> lines;
    bool open = true;
    BarFollower follower{file, BarFormat::i3blocks, scheduler, [this](const std::string& line) {
                             lines.push_back(line);
                             return open;
                         }};
};

} // namespace

TEST_F(BarFollowerTest, FollowsTheApplicationsSavesWithoutEverWriting)
{
    const Instant inTwoDays = scheduler.now() + Instant::duration(2 * 86400 + 600);
    follower.follow([] {});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(text(0), "Vantory · 연결") << "no file yet: the fresh-install line";

    StateFile(file).save(deadline("313", inTwoDays));
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines.size() == 2; }, waitMs)) << "a new file is picked up";
    EXPECT_EQ(text(1).rfind("● 313 | Preclass (2d", 0), 0u) << text(1);

    // A later save with another name, beside a temporary an interrupted save of the application
    // left: the reader reads the new file and tidies nothing.
    std::ofstream(folder / "state.json.AbC123") << "{";
    StateFile(file).save(deadline("CPSC 221", inTwoDays));
    const std::string saved = readAll(file);
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines.size() == 3; }, waitMs));
    EXPECT_NE(text(2).find("CPSC 221"), std::string::npos) << text(2);
    QTest::qWait(200);
    EXPECT_EQ(lines.size(), 3u) << "one save, one line";
    EXPECT_EQ(readAll(file), saved);
    EXPECT_TRUE(std::filesystem::exists(folder / "state.json.AbC123"));

    std::ofstream(file, std::ios::trunc) << "{ not json";
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines.size() == 4; }, waitMs)) << "an edit in place is picked up";
    EXPECT_EQ(text(3), "Vantory | 일정 파일 오류");
}

TEST_F(BarFollowerTest, StopsWhenTheBarClosesThePipe)
{
    StateFile(file).save(deadline("313", scheduler.now() + Instant::duration(3600)));
    bool closed = false;
    follower.follow([&closed] { closed = true; });
    ASSERT_EQ(lines.size(), 1u);

    open = false;
    StateFile(file).save(deadline("221", scheduler.now() + Instant::duration(3600)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, waitMs));
    StateFile(file).save(deadline("110", scheduler.now() + Instant::duration(3600)));
    QTest::qWait(300);
    EXPECT_EQ(lines.size(), 2u) << "nothing is printed after the pipe closed";
}

TEST_F(BarFollowerTest, StopsAsSoonAsThePipesReaderLeaves)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    bool closed = false;
    follower.follow([&closed] { closed = true; });
    follower.stopWhenPipeCloses(ends[1]);
    QTest::qWait(100);
    EXPECT_FALSE(closed) << "an open pipe keeps the follower";
    ::close(ends[0]);
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed; }, waitMs));
    ::close(ends[1]);
}
