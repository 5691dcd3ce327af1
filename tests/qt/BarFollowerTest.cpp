// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BarFollower.h"

#include "app/QtScheduler.h"
#include "model/StateFile.h"

#include "support/TemporaryFolder.h"

#include <QTest>

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vantory;
namespace fs = std::filesystem;

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
    ASSERT_EQ(lines.size(), 1u) << "no file yet: the fresh-install line";
    save("313", 2 * 86400 + 600);
    ASSERT_TRUE(arrives(2)) << "a new file is picked up";
    EXPECT_EQ(text(1).rfind("● 313 | Preclass (2d", 0), 0u) << text(1);

    // A save beside the temporary of an interrupted one: the new file is read and nothing tidied.
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

TEST_F(BarFollowerTest, StopsWhenAWriteFailsOrThePipesReaderLeaves)
{
    save("313", 3600);
    follower.follow([this] { closed = true; });
    open = false;
    save("221", 3600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, 10000));
    save("110", 3600);

    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    bool left = false;
    BarFollower piped(file, BarFormat::i3blocks, scheduler, [](const std::string&) { return true; });
    piped.follow([&left] { left = true; });
    piped.stopWhenPipeCloses(ends[1]);
    QTest::qWait(300);
    EXPECT_EQ(std::tuple(left, lines.size()), std::tuple(false, 2u))
        << "an open pipe keeps its follower; a stopped one prints nothing more";
    ::close(ends[0]);
    EXPECT_TRUE(QTest::qWaitFor([&] { return left; }, 10000));
    ::close(ends[1]);
}
