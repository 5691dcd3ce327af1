// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Rgb.h"
#include "model/SiteAddress.h"
#include "model/StateFile.h"
#include "model/Wording.h"

#include "support/RecordJson.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <bit>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace vantory;
using nlohmann::json;
namespace fs = std::filesystem;
using test::contents;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN(),
                 infinity = std::numeric_limits<double>::infinity();

// A file written before any of the optional keys existed.
Settings storedSettings()
{
    return json::parse(R"({"syncMinutes":60,"durations":[10,5,5],
        "rules":[{"id":"A","hours":12,"hex":"EF4444"},{"id":"B","hours":36,"hex":"EAB308"}],
        "otherHex":"22C55E","colorMode":"text","excludePerfect":true,"showReleases":false,
        "excludedCategories":[],"courses":[]})")
        .get<Settings>();
}

// The paired table without its generated ids: "hours dot time" per rule, then the other dot and time.
std::string pairs(const Settings& settings)
{
    std::ostringstream text;
    for (const PairedColorRule& rule : settings.pairedRules.value())
        text << rule.hours << " " << rule.dotHex << " " << rule.timeHex << ", ";
    text << settings.pairedOtherDot.value_or("-") << " " << settings.pairedOtherTime.value_or("-");
    return text.str();
}

const auto expectEachKeyRequired = [](const auto& record, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        json withoutKey = record;
        withoutKey.erase(key);
        EXPECT_THROW(withoutKey.get<std::decay_t<decltype(record)>>(), std::exception) << key;
    }
};

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

class StateFileTest : public ::testing::Test {
protected:
    const test::TemporaryFolder folder;
    const fs::path path = folder / "state.json";
};

} // namespace

TEST(RecordJson, OptionalsTakeDefaultsWrongTypesFailAndAssessmentsRoundTrip)
{
    const std::string course = R"({"id":"1","name":"313","enabled":)";
    EXPECT_EQ(json::parse(course + R"(true,"year":2025.0})").get<Course>(),
        (Course{"1", "313", true, 2025, "313", "3B82F6", "calendar", "3B82F6"}));
    const auto coloured
        = json::parse(course + R"(false,"year":2025,"colorHex":"22C55E","fullName":null})").get<Course>();
    EXPECT_EQ(coloured.menuColorHex + coloured.fullName, "22C55E313");
    for (const char* rest : {R"(true,"year":"2025"})", R"(1,"year":2025})", R"(true,"year":2025.5})",
             R"(true,"year":1e30})", R"(true})", R"(true,"year":2025,"colorHex":7})"})
        EXPECT_THROW(json::parse(course + rest).get<Course>(), std::exception) << rest;
    EXPECT_THROW(json::parse("[]").get<Course>(), std::exception);
    EXPECT_THROW(json::parse(R"({"credit":true,"start":"a","end":"b"})").get<AccessRule>(), std::exception);
    EXPECT_THROW(json::parse(R"({"courseID":"7","courseHeading":"x"})").get<PagePayload>(), std::exception);
    EXPECT_FALSE(
        json::parse(R"({"code":"P","title":"","category":"","availability":"","score":"","url":null,"rules":[]})")
            .get<RawAssessment>()
            .url);
    const Assessment full{"1:Q1", "1", "Q1", "Quiz 1", "Quizzes", "Available", 87.5, "https://x/q1",
        instantFromSeconds(1.7e9), instantFromSeconds(1.75e9 + 0.25), "known", {{100, "start", "—"}},
        instantFromSeconds(1.76e9), true, false};
    EXPECT_EQ(json(full).get<Assessment>(), full);
    expectEachKeyRequired(full,
        {"id", "courseID", "code", "title", "category", "availability", "deadlineStatus", "rules", "checkedAt",
            "missing"});
    const Assessment bare{.id = "1:Q1", .checkedAt = instantFromSeconds(0)};
    for (const char* key : {"score", "url", "release", "due", "submitted"})
        EXPECT_FALSE(json(bare).contains(key)) << key;
    EXPECT_EQ(json(bare).get<Assessment>(), bare);
}

TEST(RecordJson, APagesTextNestsAtMost64LevelsAndAStateFileAnyNumber)
{
    const auto nested = [](std::size_t levels) {
        return R"({"courseID":"1","courseHeading":"x","rows":[],"extra":)" + std::string(levels - 1, '[')
            + std::string(levels - 1, ']') + "}";
    };
    EXPECT_NO_THROW(codec::decodeText<PagePayload>(nested(64)));
    EXPECT_THROW(codec::decodeText<PagePayload>(nested(65)), codec::DecodeError);
    EXPECT_NO_THROW(codec::JsonDocument::parse(nested(100'000)));
}

TEST(Records, ShortCategoryUrlsMenuColoursAndHexText)
{
    const std::pair<const char*, const char*> categories[] = {{"Formal Quizzes (Repeated For Practice)", "Quiz"},
        {"Tutorials", "Tutorial"}, {"IN CLASS ACTIVITIES", "Inclass"}, {"Quiz Information", "Quiz Info"},
        {"Programming Assignments", "Assignment"}, {" tutorials", " tutorials"}, {"Homework", "Homework"}};
    for (const auto& [category, label] : categories)
        EXPECT_EQ(Assessment{.category = category}.shortCategory(), label) << category;
    {
        const test::SiteScope sites;
        const Course canvas{.id = "canvas:1234"}, site{.id = "5678"};
        EXPECT_EQ(canvas.sourceName() + site.sourceName(), "CanvasBrevaneLearn");
        EXPECT_EQ(canvas.url() + " " + site.url(),
            "https://canvas.test/courses/1234/assignments https://learn.test/pl/course_instance/5678/assessments");
    }
    Course course{"1", "313", true, 2025, "", "111111", "calendar", "222222"};
    for (const auto& [mode, expected] :
        {std::pair{"custom", "222222"}, {"urgency", "EF4444"}, {"calendar", "111111"}, {"Custom", "111111"}}) {
        course.menuColorMode = mode;
        EXPECT_EQ(course.menuHex("EF4444"), expected) << mode;
    }
    course.menuColorMode = "custom"; // a category styled "course" takes the course's menu colour
    for (const auto& [mode, expected] : {std::pair{"calendar", "111111"}, {"course", "222222"}, {"custom", "333333"},
             {"Custom", "EF4444"}, {"urgency", "EF4444"}})
        EXPECT_EQ((CategoryStyle{mode, "333333"}.color(course, "EF4444")), expected) << mode;
    Settings settings;
    EXPECT_EQ(settings.coloredCourse(course), course);
    settings.uniformCourseColors = true;
    EXPECT_EQ(settings.coloredCourse(course), (Course{"1", "313", true, 2025, "", "FFFFFF", "calendar", "FFFFFF"}));
    const std::pair<const char*, const char*> cases[]
        = {{"#3b82f6", "3B82F6"}, {"##3B#82F6", "3B82F6"}, {"", "22C55E"}, {"0x3B82F6", "22C55E"}, {"GGGGGG", "22C55E"},
            {"FF3B82F6", "3B82F6"}, {"-1", "22C55E"}, {"FFFFFFFFFFFFFFFFF", "22C55E"}, {"fff", "000FFF"}};
    for (const auto& [text, hex] : cases)
        EXPECT_EQ(Rgb::fromHex(text).hex(), hex) << text;
}

TEST(Settings, AnOldFileNeedsNineKeysAndMigratesOnceIntoThePairedTable)
{
    Settings settings = storedSettings();
    EXPECT_EQ(json(settings).size(), 9u);
    expectEachKeyRequired(settings,
        {"syncMinutes", "durations", "rules", "otherHex", "colorMode", "excludePerfect", "showReleases",
            "excludedCategories", "courses"});
    settings.normalize();
    EXPECT_EQ(settings.timeColorMode.value_or("") + settings.dotStyle.value_or("") + settings.colorMode
            + settings.dotOtherHex.value_or(""),
        "rulesrulesboth22C55E");
    EXPECT_TRUE(settings.dotRules == settings.rules && settings.independentColors == true
        && settings.linkedTimeColors == false && !settings.statusWidth)
        << "an absent number stays absent";
    Settings again = settings;
    again.normalize();
    EXPECT_EQ(again, settings);
    EXPECT_NE(Settings{}.rules[0].id, Settings{}.rules[0].id) << "rules are told apart by fresh ids";
    // The older fields are only ever read here, so their fallbacks are checked through the migration.
    const std::pair<std::function<void(Settings&)>, const char*> cases[] = {
        {[](Settings&) {}, "12 EF4444 EF4444, 36 EAB308 EAB308, 22C55E 22C55E"},
        {[](Settings& s) { s.dotColorMode = "fixed", s.dotHex = "123456"; },
            "12 123456 EF4444, 36 123456 EAB308, 123456 22C55E"},
        {[](Settings& s) { s.dotColorMode = "rules"; }, "12 FFFFFF EF4444, 36 FFFFFF EAB308, FFFFFF 22C55E"},
        {[](Settings& s) { s.independentColors = true, s.dotStyle = "fixed", s.dotHex = "123456"; },
            "12 123456 123456, 36 123456 123456, 123456 123456"},
        {[](Settings& s) { s.independentColors = true, s.timeColorMode = "fixed", s.timeHex = "7F0000"; },
            "12 EF4444 7F0000, 36 EAB308 7F0000, 22C55E 7F0000"},
        {[](Settings& s) { s.independentColors = true, s.dotStyle = s.timeColorMode = "fixed", s.dotHex = "111111"; },
            "111111 FFFFFF"},
        {[](Settings& s) {
             s.rules = {{"A", 5, "111111"}, {"B", 5, "2"}, {"C", notANumber, "3"}, {"D", -1, "4"}};
         },
            "5 111111 111111, 22C55E 22C55E"}};
    for (const auto& [change, paired] : cases) {
        Settings settings = storedSettings();
        change(settings);
        settings.normalize();
        EXPECT_EQ(pairs(settings), paired);
    }
}

TEST(Settings, NormalizeClampsNumbersIntoRange)
{
    Settings settings = storedSettings();
    settings.statusWidth = 90, settings.statusPadding = infinity, settings.statusFontSize = 30;
    settings.transitionDuration = notANumber, settings.syncMinutes = 2000;
    settings.durations = {0.5, 400, notANumber, 7};
    settings.rules = {{"A", 0, "1"}, {"B", -2, "2"}, {"C", 10000, "3"}, {"D", infinity, "4"}, {"E", 2, "5"}};
    settings.timeColorMode = "rules"; // a file that already has its own dot table
    settings.dotRules = std::vector<ColorRule>{{"A", notANumber, "111111"}, {"B", 5, "222222"}};
    settings.pairedRules
        = std::vector<PairedColorRule>{{"P", 0.01, "1", "1"}, {"Q", notANumber, "2", "2"}, {"R", 9000, "3", "3"}};
    settings.normalize();
    EXPECT_EQ(std::tuple(*settings.statusWidth, *settings.statusPadding, *settings.statusFontSize,
                  settings.transitionDuration.value(), settings.syncMinutes),
        std::tuple(120, 6, 16, 0.3, 1440));
    EXPECT_EQ(settings.durations, (std::vector<double>{1, 300, 5, 7}));
    EXPECT_EQ(settings.rules, (std::vector<ColorRule>{{"C", 8760, "3"}, {"E", 2, "5"}}));
    EXPECT_EQ(settings.dotRules, (std::vector<ColorRule>{{"B", 5, "222222"}}));
    EXPECT_TRUE(pairs(settings).starts_with("0.1 1 1, 72 2 2, 8760 3 3, ")) << pairs(settings);
}

TEST(SiteAddress, ChecksWhatAStudentTypesAndStoresItOnlyWhileNotTheBuilds)
{
    using enum Site; // blank is no site, and no problem
    const std::tuple<std::string, Site, std::string> accepted[]
        = {{"  https://Canvas.School.edu/ ", canvas, "https://canvas.school.edu"},
            {"learn.school.edu", assessment, "https://learn.school.edu/"},
            {"HTTPS://learn.school.edu:443/", assessment, "https://learn.school.edu/"},
            {"https://learn.school.edu:8443", canvas, "https://learn.school.edu:8443"},
            {"https://bücher.example", canvas, "https://xn--bcher-kva.example"},
            {"http://127.0.0.1:8080/", assessment, "http://127.0.0.1:8080/"},
            {"http://localhost:9000", canvas, "http://localhost:9000"},
            {"http://[::1]:9000", canvas, "http://[::1]:9000"}, {"   ", assessment, ""}};
    for (const auto& [input, site, address] : accepted) {
        const SiteAddress::Checked checked = SiteAddress::check(input, site);
        EXPECT_TRUE(checked.address == address && checked.usable()) << input << " → " << checked.address;
    }
    const std::string refused[] = {"http://learn.school.edu", "http://127.0.0.1.evil.com/", "https://",
        "javascript:alert(1)", "ftp://learn.school.edu", "https://user:pw@learn.school.edu/",
        "https://learn.school.edu/?a=1", "https://learn.school.edu/#x", "https://canvas.school.edu/courses",
        "https://learn school.edu", "https://learn.school.edu\n/", "https://learn.school.edu\x7f",
        "https://\u202Eude.loohcs.nrael", "https://" + std::string(300, 'a') + ".edu", "https://learn.school.edu:0",
        "https://learn.school.edu:65536", "https://learn.school.edu:8x", "https://[2001:db8::1]/", "https://a..b/",
        "https://learn.school.edu\\@evil.com", "https://learn.school.edu\xff"};
    for (const std::string& input : refused)
        for (Site site : {canvas, assessment}) {
            const SiteAddress::Checked checked = SiteAddress::check(input, site);
            EXPECT_TRUE(checked.address.empty() && !checked.usable()) << input;
        }
    const Sites built = Sites::production();
    Settings settings = storedSettings();
    settings.assessmentBaseURL = SiteAddress::stored(built.assessmentBaseURL, Site::assessment);
    settings.canvasBaseURL = "https://canvas.other.edu";
    settings.timeZone = "America/Vancouver";
    settings.normalize();
    EXPECT_TRUE(!settings.assessmentBaseURL && !settings.timeZone) << "the build's defaults stay out of the file";
    EXPECT_EQ(settings.sites(), (Sites{built.assessmentBaseURL, "https://canvas.other.edu"}));
    settings.assessmentBaseURL = "", settings.canvasBaseURL = "javascript:alert(1)";
    EXPECT_EQ(settings.sites(), Sites{}) << "an empty address is no site; one that fails its check is none either";
}

// A collection keeps its path, as a URL carries it; the rest is the sites' check.
TEST(SiteAddress, ChecksACalendarCollectionKeepingItsPath)
{
    const std::pair<std::string, std::string> cases[]
        = {{" https://Cal.Example.com/dav/calendars/kim/tasks/ ", "https://cal.example.com/dav/calendars/kim/tasks/"},
            {"cal.example.com", "https://cal.example.com/"},
            {"http://127.0.0.1:5232/kim/vantory/", "http://127.0.0.1:5232/kim/vantory/"},
            {"https://cal.example.com/할일/a%2Fb/100%/", "https://cal.example.com/%ED%95%A0%EC%9D%BC/a%2Fb/100%25/"},
            {"https://cal.example.com/a\\b", ""}, {"https://cal.example.com\\@evil.com/", ""},
            {"http://cal.example.com/dav/", ""}, {"https://kim:pw@cal.example.com/dav/", ""},
            {"https://cal.example.com/dav/?x=1", ""}, {"https://cal.example.com/a b/", ""}, {"   ", ""}};
    for (const auto& [input, address] : cases) {
        const SiteAddress::Checked checked = SiteAddress::checkCollection(input);
        EXPECT_EQ(checked.address, address) << input;
        EXPECT_EQ(checked.usable(), !address.empty() || input == "   ") << input;
    }
    Settings settings;
    settings.calendarServerURL = "http://cal.example.com/dav/";
    EXPECT_EQ(settings.calendarServer(), "") << "a stored address that fails its check is no server";
}

TEST(RecordJson, TheSyncsMemoryIsReadWithinItsLimitsAndItsQueueHoldsEachIdOnce)
{
    const auto state = [](const std::string& more) {
        return json::parse(R"({"tasks":{"a":{"href":"/t/a.ics","etag":"\"1\"","digest":"d"}},)" + more + "}");
    };
    EXPECT_EQ(state(R"("queue":["b","a","b"],"ctag":"c")").get<CalendarServerState>(),
        (CalendarServerState{{{"a", {"/t/a.ics", "\"1\"", "d"}}}, {"b", "a"}, std::nullopt, "c"}));
    const std::string long2049(2049, 'x'), long4097(4097, 'x');
    std::string many = "\"\"";
    for (int i = 0; i < 100'000; ++i)
        many += ",\"\"";
    const std::string refused[] = {R"("queue":[1])", R"("queue":[],"syncToken":")" + long4097 + "\"",
        R"("queue":[],"tasks":{"b":{"href":")" + long2049 + R"(","etag":"","digest":""}})",
        R"("queue":[],"tasks":{"b":{"href":"","etag":")" + std::string(257, 'x') + R"(","digest":""}})",
        R"("queue":[],"tasks":{"b":{"href":"","etag":""}})", R"("ctag":"c")", R"("queue":[)" + many + "]"};
    for (const std::string& more : refused)
        EXPECT_THROW(state(more).get<CalendarServerState>(), std::exception) << more.substr(0, 80);
    CalendarServerState queue;
    for (const char* id : {"b", "a", "b", "c", "a"})
        queue.enqueue(id);
    EXPECT_EQ(queue.queue, (std::vector<std::string>{"b", "a", "c"}));
}

TEST_F(StateFileTest, SavesIntoANewPrivateFolderAndReadsBackEqualAndNormalised)
{
    const fs::path deep = folder / "a" / "b" / "state.json";
    StateFile first(deep);
    EXPECT_TRUE(!first.load() && !fs::exists(deep)) << "nothing is written at load time";
    const Database database = sampleDatabase();
    const mode_t previous = ::umask(0);
    first.save(database);
    ::umask(previous);
    ASSERT_FALSE(first.storageError().has_value());
    for (const fs::path& created : {folder / "a", folder / "a" / "b"}) {
        struct stat status { };
        EXPECT_TRUE(::stat(created.c_str(), &status) == 0 && (status.st_mode & 0777) == 0700) << created;
    }
    const std::string bytes = contents(deep);
    StateFile second(deep);
    ASSERT_EQ(second.load(), database);
    second.save(database);
    EXPECT_EQ(contents(deep), bytes) << "saving again without a change writes identical bytes";
    EXPECT_DOUBLE_EQ(json::parse(bytes)["lastSync"]["1"].get<double>(), 1764800000.75 - referenceEpochOffset);
    for (const char* key : {"assessmentBaseURL", "canvasBaseURL", "timeZone", "calendarServer", "Changed\""})
        EXPECT_EQ(bytes.find(key), std::string::npos)
            << key << ": a default stays out, so older files keep their bytes";
    json stored = json::parse(bytes);
    stored["settings"]["syncMinutes"] = 1;
    std::ofstream(deep) << stored.dump();
    EXPECT_EQ(StateFile(deep).load().value().settings.syncMinutes, 5) << "loading normalises the settings";
}

TEST(StateFileFormat, FilesWrittenBeforeChangeTimesAndTheCalendarServerKeepTheirBytes)
{
    for (const char* name : {"sample3.json", "empty.json"}) {
        const std::string bytes = contents(fs::path(VANTORY_TESTS) / "fuzz/corpus/fuzz_state_file" / name);
        EXPECT_EQ(StateFile::encode(StateFile::decode(bytes)), bytes) << name;
    }
}

TEST_F(StateFileTest, AFailedSaveOrLoadKeepsTheFileByteForByteAndStopsLaterSaves)
{
    StateFile file(path);
    file.save(sampleDatabase());
    const std::string before = contents(path);
    Database broken = sampleDatabase();
    broken.assessments[0].checkedAt = instantFromSeconds(notANumber); // a number no file could hold
    file.save(broken);
    EXPECT_TRUE(
        file.storageError().value_or("").starts_with(wording().stateSaveFailedPrefix) && contents(path) == before);
    fs::remove(path);
    file.save(sampleDatabase());
    EXPECT_FALSE(fs::exists(path));
    json withoutLastSync = sampleDatabase(), wrongType = sampleDatabase();
    withoutLastSync.erase("lastSync");
    wrongType["assessments"][0]["missing"] = "no";
    for (const std::string& bytes :
        {std::string("{ not json"), std::string(), withoutLastSync.dump(), wrongType.dump()}) {
        std::ofstream(path) << bytes;
        StateFile file(path);
        EXPECT_TRUE(!file.load() && file.storageError() == std::string(wording().stateReadFailed));
        file.save(sampleDatabase());
        EXPECT_EQ(contents(path), bytes) << "a file that failed to load is never overwritten";
    }
    // A folder or a FIFO in place of the file stops storage, the FIFO without hanging the start.
    fs::create_directories(folder / "folder" / "state.json");
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    for (const fs::path& other : {folder / "folder" / "state.json", path}) {
        StateFile file(other);
        EXPECT_TRUE(!file.load() && file.storageError() == std::string(wording().stateReadFailed)) << other;
    }
}

TEST_F(StateFileTest, OnlyOurOwnStaleTemporariesAreRemovedAtStartAndALinkedFileIsWrittenThroughTheLink)
{
    StateFile(path).save(sampleDatabase());
    const std::pair<const char*, bool> files[]
        = {{"state.json.AbC123", true}, {"state.json.zzzzzz", true}, {"state.json.bak", false},
            {"state.json.ABCDEFG", false}, {"other.json.ABCDEF", false}, {"state.json.AB-DEF", false}};
    for (const auto& [name, stale] : files)
        std::ofstream(folder / name) << "half a save";
    fs::create_directory(folder / "state.json.DIR123");
    fs::create_symlink(folder / "state.json.bak", folder / "state.json.LINK12");
    ASSERT_TRUE(StateFile(path).load());
    for (const auto& [name, stale] : files)
        EXPECT_NE(fs::exists(folder / name), stale) << name;
    EXPECT_TRUE(fs::is_directory(folder / "state.json.DIR123") && fs::is_symlink(folder / "state.json.LINK12"));
    fs::create_directory(folder / "synced");
    StateFile(folder / "synced" / "state.json").save(Database{});
    fs::create_symlink(folder / "synced" / "state.json", folder / "link.json");
    StateFile linked(folder / "link.json");
    linked.save(sampleDatabase());
    EXPECT_TRUE(!linked.storageError() && fs::is_symlink(folder / "link.json"));
    EXPECT_EQ(StateFile(folder / "synced" / "state.json").load()->assessments, sampleDatabase().assessments);
}

TEST(StateFileFormat, WritesTheBytesAndDoublesNlohmannPrintsAndReadsWithTheRulesOfItsTree)
{
    Database full = sampleDatabase();
    full.overrides["1:Q1"].completedChanged = instantFromSeconds(1764900000.25);
    full.overrides["1:Q2"]
        = {false, true, std::nullopt, std::nullopt, instantFromSeconds(1.7e9), instantFromSeconds(0)};
    full.settings.calendarServerURL = "https://cal.example.com/dav/", full.settings.calendarServerUser = "kim";
    full.settings.calendarServerAlarms = false;
    full.calendarServer = CalendarServerState{{{"1:Q1", {"/dav/a.ics", "\"e1\"", "0123"}}}, {"1:Q2", "1:Q1"}, "tok"};
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
    settings.statusWidth = 280.25, settings.statusFontSize = 1.0 / 3;
    settings.excludedCategories = {"Labs", ""};
    settings.reminderMinutes = {{15, 1440}};
    Database bare;
    bare.settings.durations.clear(), bare.settings.rules.clear(), bare.settings.showProgress.reset();
    for (const Database* database : {&full, &bare})
        EXPECT_EQ(
            StateFile::encode(*database), json(*database).dump(2, ' ', false, json::error_handler_t::replace) + "\n");
    EXPECT_EQ(StateFile::encode(bare).find("\"reminders\""), std::string::npos) << "absent until one was shown";
    // Realistic numbers print as nlohmann prints them; for any other only the value must survive (its
    // Grisu2 digits are shortest, not always closest).
    std::vector<double> realistic{0.0, -0.0, 5, 0.1, 1e-4, 1.5e-5, 1e15, 1e16, 123456789012345.6, 1e21, 780000000,
        -1764800000.75, 5e-324, 1.7976931348623157e308, 2.5e-7, 100000, 0.001234};
    std::mt19937_64 random(20261206);
    for (int i = 0; i < 20000; ++i) {
        realistic.push_back(std::round(std::uniform_real_distribution(-1e9, 1e9)(random) * 1000) / 1000);
        realistic.push_back(std::round(std::uniform_real_distribution(0.0, 8760.0)(random) * 100) / 100);
    }
    const auto written = [](double value) {
        std::string text;
        codec::JsonTextWriter(text).number(value);
        return text;
    };
    for (double value : realistic)
        ASSERT_EQ(written(value), json(value).dump()) << std::hexfloat << value;
    for (int i = 0; i < 20000; ++i)
        if (const double value = std::bit_cast<double>(random()); std::isfinite(value)) {
            const std::string text = written(value);
            ASSERT_EQ(json::parse(text).get<double>(), value) << text;
            ASSERT_NE(text.find_first_of(".e"), std::string::npos) << "reads back as a double: " << text;
        }
    const auto document = [](const std::string& more) {
        return R"({"assessments":[],"lastSync":{},"overrides":{},"settings":{"colorMode":"text","courses":[],)"
               R"("durations":[10],"excludePerfect":true,"excludedCategories":[],"otherHex":"22C55E","rules":[],)"
               R"("showReleases":false,"syncMinutes":60},)"
            + more + "}";
    };
    const std::string numbers
        = R"("version":1,"lastSync":{"a":-0},"extra":[-0.0,18446744073709551615,18446744073709551616,)";
    const std::pair<std::string, bool> cases[] = {{document(R"("version":"1","version":2)"), true},
        {document(R"("version":2,"version":"1")"), false}, {document(R"("version":5.0)"), true},
        {document(R"("version":5.5)"), false}, {document(R"("version":9223372036854775808)"), false},
        {document(R"("version":1e400)"), false}, {document(R"("version":1,"lastSync":{"a":-1e400})"), false},
        {document(R"("version":1,"extra":[[[{"a":[null,1e308,"\ud83d\ude00"]}]]])"), true},
        {document(R"("version":1,"overrides":{"b":{"completed":1},"a":{"completed":true,"hidden":false},)"
                  R"("b":{"completed":false,"hidden":true,"due":5}})"),
            true},
        {document(R"("version":1,"assessments":{})"), false}, {"\xEF\xBB\xBF" + document(R"("version":1)"), true},
        {document(R"("version":1)") + " x", false}, {document("\"version\":1,\"extra\":\"\xFF\""), false},
        {document(R"("version":1,"extra":"\ud800")"), false}, {document(R"("version":1,"extra":"\udc00")"), false},
        {document(numbers + "-9E99999]"), false}, {document(numbers + "-1e-999]"), true},
        {document(R"("version":1,"extra":)" + std::string(2000, '[') + std::string(2000, ']')), true}, {"", false}};
    for (const auto& [text, decodes] : cases)
        if (decodes)
            EXPECT_EQ(StateFile::decode(text), json::parse(text).get<Database>()) << text;
        else {
            EXPECT_ANY_THROW(StateFile::decode(text)) << text;
            EXPECT_ANY_THROW(json::parse(text).get<Database>()) << text;
        }
}
