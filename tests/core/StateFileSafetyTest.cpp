#include "model/StateFile.h"

#include "support/TemporaryFolder.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

using namespace vantory;
namespace fs = std::filesystem;

namespace {

Database sampleDatabase()
{
    Database db;
    db.settings.courses = {{.id = "1", .name = "313"}};
    db.assessments = {{.id = "1:A", .courseID = "1", .code = "A", .deadlineStatus = "known"}};
    return db;
}

using test::contents;

} // namespace

TEST(StateFileSafety, OnlyOurOwnStaleTemporariesAreRemovedAtStart)
{
    const test::TemporaryFolder folder;
    StateFile(folder / "state.json").save(sampleDatabase());
    const char* stale[] = {"state.json.AbC123", "state.json.zzzzzz"};
    const char* kept[] = {"state.json.bak", "state.json.ABCDEFG", "other.json.ABCDEF", "state.json.AB-DEF"};
    for (const char* name : stale)
        std::ofstream(folder / name) << "half a save";
    for (const char* name : kept)
        std::ofstream(folder / name) << "not ours";
    fs::create_directory(folder / "state.json.DIR123");
    fs::create_symlink(folder / "state.json.bak", folder / "state.json.LINK12");

    ASSERT_TRUE(StateFile(folder / "state.json").load());
    for (const char* name : stale)
        EXPECT_FALSE(fs::exists(folder / name)) << name;
    for (const char* name : kept)
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    EXPECT_TRUE(fs::is_directory(folder / "state.json.DIR123"));
    EXPECT_TRUE(fs::is_symlink(folder / "state.json.LINK12"));
}

TEST(StateFileSafety, TheDataFolderIsPrivateWhateverTheUmask)
{
    const test::TemporaryFolder folder;
    const mode_t previous = ::umask(0);
    StateFile(folder / "a" / "b" / "state.json").save(sampleDatabase());
    ::umask(previous);
    for (const fs::path& created : {folder / "a", folder / "a" / "b"}) {
        struct stat status { };
        ASSERT_EQ(::stat(created.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u) << created;
    }
}

TEST(StateFileSafety, AFifoInPlaceOfTheFileStopsStorageInsteadOfHanging)
{
    const test::TemporaryFolder folder;
    ASSERT_EQ(::mkfifo((folder / "state.json").c_str(), 0600), 0);
    StateFile file(folder / "state.json");
    EXPECT_FALSE(file.load());
    EXPECT_EQ(file.storageError(), std::string(StateFile::readFailedText));
}

TEST(StateFileSafety, ALinkedStateFileIsWrittenThroughTheLink)
{
    const test::TemporaryFolder folder;
    fs::create_directory(folder / "synced");
    StateFile(folder / "synced" / "state.json").save(Database{});
    fs::create_directory(folder / "data");
    fs::create_symlink(folder / "synced" / "state.json", folder / "data" / "state.json");

    StateFile linked(folder / "data" / "state.json");
    linked.save(sampleDatabase());
    EXPECT_FALSE(linked.storageError());
    EXPECT_TRUE(fs::is_symlink(folder / "data" / "state.json"));
    EXPECT_EQ(StateFile(folder / "synced" / "state.json").load()->assessments, sampleDatabase().assessments);
}

TEST(StateFileSafety, ANumberNoFileCouldHoldFailsTheSaveAndKeepsTheOldFile)
{
    const test::TemporaryFolder folder;
    StateFile file(folder / "state.json");
    file.save(sampleDatabase());
    const std::string before = contents(folder / "state.json");

    Database broken = sampleDatabase();
    broken.assessments[0].checkedAt = instantFromSeconds(std::nan(""));
    file.save(broken);
    ASSERT_TRUE(file.storageError());
    EXPECT_TRUE(file.storageError()->starts_with(StateFile::saveFailedPrefix));
    EXPECT_EQ(contents(folder / "state.json"), before);
    EXPECT_TRUE(StateFile(folder / "state.json").load());

    // The older dot table is cleaned by normalisation, like the other rule tables.
    Settings settings;
    settings.timeColorMode = "rules"; // a file that already has its own dot table
    settings.dotRules = std::vector<ColorRule>{{"A", std::nan(""), "111111"}, {"B", 5, "222222"}};
    settings.normalize();
    ASSERT_EQ(settings.dotRules->size(), 1u);
    EXPECT_EQ(settings.dotRules->front().id, "B");
}
