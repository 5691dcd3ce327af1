#include "model/StateFile.h"

#include "support/RecordJson.h"
#include "support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

using namespace vantory;
namespace fs = std::filesystem;

namespace {

class StateFileTest : public ::testing::Test {
protected:
    static std::string read(const fs::path& path) { return test::contents(path); }
    static void write(const fs::path& path, const std::string& bytes)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    static Database sampleDatabase()
    {
        Database database;
        database.assessments.push_back({"1:Q1", "1", "Q1", "퀴즈 1", "Quizzes", "Available 14:00, Mon, Sep 8", 50.0,
            std::nullopt, std::nullopt, instantFromSeconds(1764835140.123456), "known", {},
            instantFromSeconds(1764800000), std::nullopt, false});
        database.overrides["1:Q1"] = {true, false, instantFromSeconds(1764900000.5)};
        database.lastSync["1"] = instantFromSeconds(1764800000.75);
        database.settings.courses.push_back({"1", "313", true, 2025, "CPSC 313", "3B82F6", "calendar", "3B82F6"});
        database.settings.normalize();
        return database;
    }

    test::TemporaryFolder directory;
};

} // namespace

TEST_F(StateFileTest, SavesIntoANewFolderAndReadsBackEqual)
{
    const fs::path path = directory / "new" / "state.json";
    StateFile first(path);
    EXPECT_FALSE(first.load().has_value());
    EXPECT_FALSE(first.storageError().has_value());
    EXPECT_FALSE(fs::exists(path)) << "nothing is written at load time";

    const Database database = sampleDatabase();
    first.save(database);
    ASSERT_FALSE(first.storageError().has_value());
    const std::string bytes = read(path);

    StateFile second(path);
    const auto loaded = second.load();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, database);
    second.save(*loaded);
    second.save(*loaded);
    EXPECT_EQ(read(path), bytes) << "saving again without a change writes identical bytes";

    const auto json = nlohmann::json::parse(bytes);
    EXPECT_DOUBLE_EQ(json["lastSync"]["1"].get<double>(), 1764800000.75 - referenceEpochOffset);
    EXPECT_LT(bytes.find("\"assessments\""), bytes.find("\"lastSync\"")) << "keys are sorted";
    EXPECT_NE(bytes.find("\n  \""), std::string::npos) << "pretty-printed";
    for (const char* key : {"assessmentBaseURL", "canvasBaseURL", "timeZone"})
        EXPECT_EQ(bytes.find(key), std::string::npos)
            << key << ": a default stays out, so older files keep their bytes";
}

TEST_F(StateFileTest, UnreadableFilesAreKeptByteForByte)
{
    nlohmann::json valid = sampleDatabase();
    nlohmann::json withoutLastSync = valid;
    withoutLastSync.erase("lastSync");
    nlohmann::json wrongType = valid;
    wrongType["assessments"][0]["missing"] = "no";

    for (const std::string& bytes :
        {std::string("{ not json"), std::string(), withoutLastSync.dump(), wrongType.dump()}) {
        const fs::path path = directory / "state.json";
        write(path, bytes);
        StateFile file(path);
        EXPECT_FALSE(file.load().has_value());
        EXPECT_EQ(file.storageError(), std::string(StateFile::readFailedText));
        file.save(sampleDatabase());
        EXPECT_EQ(read(path), bytes) << "a file that failed to load is never overwritten";
    }

    fs::create_directories(directory / "dir" / "state.json");
    StateFile folder(directory / "dir" / "state.json");
    EXPECT_FALSE(folder.load().has_value());
    EXPECT_TRUE(folder.storageError().has_value());
}

TEST_F(StateFileTest, MissingOptionalSettingsLoadAndAreNormalised)
{
    nlohmann::json stored = sampleDatabase();
    for (const char* key : {"pairedRules", "pairedOtherDot", "pairedOtherTime", "linkedTimeColors", "independentColors",
             "dotStyle", "timeColorMode", "dotRules", "dotOtherHex", "showProgress"})
        stored["settings"].erase(key);
    stored["settings"]["syncMinutes"] = 1;
    write(directory / "state.json", stored.dump());

    StateFile file(directory / "state.json");
    const auto loaded = file.load();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->settings.syncMinutes, 5);
    EXPECT_EQ(loaded->settings.pairedRules->size(), 2u);
}

TEST_F(StateFileTest, AFailedSaveStopsAllLaterSaves)
{
    // A file where the folder should be makes the save fail, for root too.
    const fs::path blocker = directory / "blocker";
    write(blocker, "");
    StateFile file(blocker / "state.json");
    file.save(sampleDatabase());
    ASSERT_TRUE(file.storageError().has_value());
    EXPECT_EQ(file.storageError()->rfind(StateFile::saveFailedPrefix, 0), 0u);

    fs::remove(blocker);
    file.save(sampleDatabase());
    EXPECT_FALSE(fs::exists(blocker / "state.json"));
}
