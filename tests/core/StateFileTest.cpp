#include "model/StateFile.h"

#include "model/JsonTextWriter.h"

#include "support/RecordJson.h"
#include "support/TemporaryFolder.h"

#include <bit>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <sys/stat.h>

using namespace vantory;
namespace fs = std::filesystem;
using test::contents;

namespace {

Database sampleDatabase()
{
    Database database;
    database.assessments.push_back(
        {"1:Q1", "1", "Q1", "퀴즈 1", "Quizzes", "Available 14:00, Mon, Sep 8", 50.0, std::nullopt, std::nullopt,
            instantFromSeconds(1764835140.123456), "known", {}, instantFromSeconds(1764800000), std::nullopt, false});
    database.overrides["1:Q1"] = {true, false, instantFromSeconds(1764900000.5)};
    database.lastSync["1"] = instantFromSeconds(1764800000.75);
    database.reminders = {{{"1:Q1", {instantFromSeconds(1764835140.123456), 180}}}};
    database.settings.courses.push_back({"1", "313", true, 2025, "CPSC 313", "3B82F6", "calendar", "3B82F6"});
    database.settings.normalize();
    return database;
}

void write(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::optional<Database> decodeText(const std::string& text)
{
    std::istringstream stream(text);
    try {
        return StateFile::decode(stream, text.size());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<Database> decodeThroughTree(const std::string& text)
{
    try {
        return nlohmann::json::parse(text).get<Database>();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

TEST(StateFile, SavesIntoANewPrivateFolderAndReadsBackEqual)
{
    const test::TemporaryFolder directory;
    const fs::path path = directory / "a" / "b" / "state.json";
    StateFile first(path);
    EXPECT_FALSE(first.load().has_value());
    EXPECT_FALSE(fs::exists(path)) << "nothing is written at load time";

    const Database database = sampleDatabase();
    const mode_t previous = ::umask(0);
    first.save(database);
    ::umask(previous);
    ASSERT_FALSE(first.storageError().has_value());
    for (const fs::path& created : {directory / "a", directory / "a" / "b"}) {
        struct stat status { };
        ASSERT_EQ(::stat(created.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u) << created << " whatever the umask";
    }
    const std::string bytes = contents(path);

    StateFile second(path);
    const auto loaded = second.load();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, database);
    second.save(*loaded);
    EXPECT_EQ(contents(path), bytes) << "saving again without a change writes identical bytes";
    EXPECT_DOUBLE_EQ(nlohmann::json::parse(bytes)["lastSync"]["1"].get<double>(), 1764800000.75 - referenceEpochOffset);
    for (const char* key : {"assessmentBaseURL", "canvasBaseURL", "timeZone"})
        EXPECT_EQ(bytes.find(key), std::string::npos)
            << key << ": a default stays out, so older files keep their bytes";
}

TEST(StateFile, UnreadableFilesAreKeptByteForByte)
{
    const test::TemporaryFolder directory;
    nlohmann::json withoutLastSync = sampleDatabase();
    withoutLastSync.erase("lastSync");
    nlohmann::json wrongType = sampleDatabase();
    wrongType["assessments"][0]["missing"] = "no";
    const fs::path path = directory / "state.json";
    for (const std::string& bytes :
        {std::string("{ not json"), std::string(), withoutLastSync.dump(), wrongType.dump()}) {
        write(path, bytes);
        StateFile file(path);
        EXPECT_FALSE(file.load().has_value());
        EXPECT_EQ(file.storageError(), std::string(StateFile::readFailedText));
        file.save(sampleDatabase());
        EXPECT_EQ(contents(path), bytes) << "a file that failed to load is never overwritten";
    }

    // A folder or a FIFO in place of the file stops storage, the FIFO without hanging the start.
    fs::create_directories(directory / "folder" / "state.json");
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    for (const fs::path& other : {directory / "folder" / "state.json", path}) {
        StateFile file(other);
        EXPECT_FALSE(file.load());
        EXPECT_EQ(file.storageError(), std::string(StateFile::readFailedText)) << other;
    }
}

TEST(StateFile, LoadNormalisesMissingOptionalSettings)
{
    const test::TemporaryFolder directory;
    nlohmann::json stored = sampleDatabase();
    for (const char* key : {"pairedRules", "pairedOtherDot", "pairedOtherTime", "dotRules", "showProgress"})
        stored["settings"].erase(key);
    stored["settings"]["syncMinutes"] = 1;
    write(directory / "state.json", stored.dump());
    const auto loaded = StateFile(directory / "state.json").load();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->settings.syncMinutes, 5);
    EXPECT_EQ(loaded->settings.pairedRules->size(), 2u);
}

TEST(StateFile, AFailedSaveKeepsTheOldFileAndStopsAllLaterSaves)
{
    const test::TemporaryFolder directory;
    StateFile file(directory / "state.json");
    file.save(sampleDatabase());
    const std::string before = contents(directory / "state.json");

    Database broken = sampleDatabase();
    broken.assessments[0].checkedAt = instantFromSeconds(std::nan("")); // a number no file could hold
    file.save(broken);
    ASSERT_TRUE(file.storageError());
    EXPECT_TRUE(file.storageError()->starts_with(StateFile::saveFailedPrefix));
    EXPECT_EQ(contents(directory / "state.json"), before);

    fs::remove(directory / "state.json");
    file.save(sampleDatabase());
    EXPECT_FALSE(fs::exists(directory / "state.json"));
}

TEST(StateFile, OnlyOurOwnStaleTemporariesAreRemovedAtStart)
{
    const test::TemporaryFolder folder;
    StateFile(folder / "state.json").save(sampleDatabase());
    const char* stale[] = {"state.json.AbC123", "state.json.zzzzzz"};
    const char* kept[] = {"state.json.bak", "state.json.ABCDEFG", "other.json.ABCDEF", "state.json.AB-DEF"};
    for (const char* name : stale)
        write(folder / name, "half a save");
    for (const char* name : kept)
        write(folder / name, "not ours");
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

TEST(StateFile, ALinkedStateFileIsWrittenThroughTheLink)
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

TEST(StateFileFormat, WritesTheBytesNlohmannPrintsForTheSameTree)
{
    Database full = sampleDatabase();
    // Escapes, control characters, and invalid UTF-8 of every kind nlohmann replaces by U+FFFD.
    full.assessments.push_back({"1:Q2", "1", "Q2", "퀴즈 \"1\" \\ 복습\t\x01\x7f",
        "Quizzes\xC3(\xE2\x82(\xE0\x80\xED\xA0\x80\xF4\x90\xF0\x9F\x98", "", 87.5, "https://x/q?a=1&b=2",
        instantFromSeconds(1.7e9), instantFromSeconds(1.75e9 + 0.1), "known",
        {{-0.0, "2025-09-08 14:00:00 (PDT)", "—"}, {1e21, "", "\xF0\x9F\x98\x80"}}, instantFromSeconds(1.76e9), true,
        false});
    full.lastSync["한국"] = instantFromSeconds(-1e-7);
    Settings& settings = full.settings;
    settings.uniformCourseColors = settings.canvasEnabled = settings.doubleClickOpensAssignment = true;
    settings.uniformMenuHex = settings.timeHex = "FFFFFF";
    settings.statusWidthMode = settings.listSort = "x";
    settings.categoryStyles = {{"all|Quizzes", {"custom", "A855F7"}}, {"canvas:7|Labs", {}}};
    settings.statusWidth = 280.25;
    settings.statusFontSize = 1.0 / 3;
    settings.excludedCategories = {"Labs", ""};
    settings.reminderMinutes = {{15, 1440}};

    Database bare;
    bare.settings.durations.clear();
    bare.settings.rules.clear();
    bare.settings.showProgress.reset();

    for (const Database* database : {&full, &bare}) {
        const std::string text = StateFile::encode(*database);
        EXPECT_EQ(text, nlohmann::json(*database).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
    }
    EXPECT_EQ(StateFile::encode(bare).find("\"reminders\""), std::string::npos) << "absent until one was shown";
}

// The state file's parser fills its own compact tree from nlohmann's SAX events: it must accept,
// reject and resolve repeated keys exactly as nlohmann::json::parse followed by from_json does.
TEST(StateFileFormat, ReadsWithTheRulesOfTheNlohmannTree)
{
    const std::string members
        = R"("assessments":[],"lastSync":{},"overrides":{},"settings":{"colorMode":"text","courses":[],)"
          R"("durations":[10],"excludePerfect":true,"excludedCategories":[],"otherHex":"22C55E","rules":[],)"
          R"("showReleases":false,"syncMinutes":60})";
    const auto document = [&](const std::string& more) { return "{" + members + "," + more + "}"; };
    const struct {
        std::string text;
        bool decodes;
    } cases[] = {
        {document(R"("version":"1","version":2)"), true}, // the last of a repeated key counts
        {document(R"("version":2,"version":"1")"), false},
        {document(R"("version":5.0)"), true},
        {document(R"("version":5.5)"), false},
        {document(R"("version":9223372036854775808)"), false},
        {document(R"("version":1e400)"), false},
        {document(R"("version":1,"lastSync":{"a":-1e400})"), false}, // a page's infinity never gets in
        {document(R"("version":1,"extra":[[[{"a":[null,1e308,"\ud83d\ude00"]}]]])"), true},
        {document(R"("version":1,"overrides":{"b":{"completed":1},"a":{"completed":true,"hidden":false},)"
                  R"("b":{"completed":false,"hidden":true,"due":5}})"),
            true},
        {document(R"("version":1,"assessments":{})"), false},
        {"\xEF\xBB\xBF" + document(R"("version":1)"), true},
        {document(R"("version":1)") + " x", false},
        {document("\"version\":1,\"extra\":\"\xFF\""), false},
        {document(R"("version":1,"extra":"\ud800")"), false},
        {"", false},
    };
    for (const auto& [text, decodes] : cases) {
        const auto decoded = decodeText(text);
        EXPECT_EQ(decoded.has_value(), decodes) << text;
        EXPECT_EQ(decoded, decodeThroughTree(text)) << text;
    }
}

// Dates (seconds since 2001 with millisecond parts), hours, points and sizes print exactly as
// nlohmann prints them. Its Grisu2 digits are shortest but not always the closest, so for a few
// 17-digit values the last digit may differ; both texts read back as the same double.
TEST(StateFileFormat, WritesDoublesWithNlohmannsLayoutAndExactRoundTrip)
{
    std::vector<double> realistic{0.0, -0.0, 5, 0.1, 1e-4, 1.5e-5, 1e15, 1e16, 123456789012345.6, 1e21, 780000000,
        -1764800000.75, 5e-324, 1.7976931348623157e308, 2.5e-7, 100000, 0.001234};
    std::mt19937_64 random(20261206);
    for (int i = 0; i < 20000; ++i) {
        realistic.push_back(std::round(std::uniform_real_distribution(-1e9, 1e9)(random) * 1000) / 1000);
        realistic.push_back(std::round(std::uniform_real_distribution(0.0, 8760.0)(random) * 100) / 100);
    }
    for (double value : realistic) {
        std::string text;
        codec::JsonTextWriter(text).number(value);
        ASSERT_EQ(text, nlohmann::json(value).dump()) << std::hexfloat << value;
    }
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        std::string text;
        codec::JsonTextWriter(text).number(value);
        ASSERT_EQ(nlohmann::json::parse(text).get<double>(), value) << text;
        ASSERT_NE(text.find_first_of(".e"), std::string::npos) << "reads back as a double: " << text;
    }
}
