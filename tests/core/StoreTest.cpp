// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Store.h"

#include "model/StateFile.h"
#include "store/SiteChoice.h"

#include "SampleDatabase.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

using namespace vantory;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test::contents;

namespace {

constexpr double morning = 1764871200; // 2025-12-04 18:00 UTC = 10:00 in Vancouver
const Instant now = instantFromSeconds(morning);

const auto item = [](std::string id, std::string courseID, std::string category = "Quiz", bool missing = false) {
    return Assessment{
        .id = id, .courseID = courseID, .code = id, .title = id, .category = category, .missing = missing};
};

const auto entries = [](const fs::path& folder) { return std::distance(fs::directory_iterator(folder), {}); };

// Kills the child at a random moment within ±50% of `aim` microseconds and reaps it; its wait status.
int killWithin(pid_t child, double aim, std::mt19937& random)
{
    std::this_thread::sleep_for(
        std::chrono::microseconds(std::uniform_int_distribution<long>(aim / 2, aim * 3 / 2)(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

class StoreTest : public ::testing::Test {
protected:
    std::unique_ptr<Store> makeStore(bool withCourses = false)
    {
        auto store = std::make_unique<Store>(directory / "state.json", now);
        if (withCourses)
            store->update([](Database& db) {
                db.settings.courses = {{"1", "313", true, 2025, "", "111111"}, {"2", "221", true, 2025, "", "222222"},
                    {"3", "110", false, 2025}};
            });
        return store;
    }

    test::SiteScope sites;
    test::TemporaryFolder directory;
};

} // namespace

TEST_F(StoreTest, StartsFreshSavesOnlyOnChangeAndObserversHearEveryWrite)
{
    auto store = makeStore();
    EXPECT_TRUE(store->status() == wording().initialStatus && store->canvasStatus() == wording().initialCanvasStatus);
    int changes = 0;
    store->onChange = [&] { ++changes; };
    store->setStatus("x");
    EXPECT_FALSE(fs::exists(store->statePath())) << "flags and texts are never saved";
    // An override is created on first edit and kept even when it returns to the defaults.
    const Assessment quiz = item("1:Q", "1");
    store->override(quiz, [](UserOverride& o) { o.completed = true; });
    store->override(quiz, [](UserOverride& o) { o.completed = false; });
    EXPECT_EQ(
        std::tuple(store->db().overrides.at("1:Q"), changes), std::tuple(UserOverride{.completedChanged = now}, 2));
    auto reloaded = makeStore();
    EXPECT_TRUE(reloaded->status() == wording().loadedStatus && reloaded->db() == store->db());
    std::vector<Store::Field> heard;
    const auto token = store->observe([&](Store::Field field) { heard.push_back(field); });
    store->setBrevaneSyncing(true);
    EXPECT_TRUE(store->syncing());
    store->setCanvasSyncing(true);
    store->setBrevaneSyncing(false);
    EXPECT_TRUE(store->syncing());
    store->setErrors({{"home", "e"}});
    store->update([](Database&) {});
    store->unobserve(token);
    store->setNeedsLogin(true);
    using enum Store::Field;
    EXPECT_EQ(heard, (std::vector{brevaneSyncing, canvasSyncing, brevaneSyncing, errors, db}));
}

TEST_F(StoreTest, DerivedListsAndTexts)
{
    auto store = makeStore(true);
    EXPECT_EQ(store->lastUpdateText(), "아직 동기화하지 않았어요");
    store->update([](Database& db) {
        db.assessments = {item("1:A", "1"), item("1:B", "1", "Lab", true), item("2:A", "2", "Exam"),
            item("3:A", "3", "Essay"), item("9:A", "9", "Unknown"), item("2:B", "2")};
        db.lastSync
            = {{"1", now}, {"2", instantFromSeconds(morning + 5400)}, {"3", instantFromSeconds(morning - 86400)}};
    });
    EXPECT_EQ(std::tuple(store->categories(), store->lastUpdateText()),
        std::tuple(std::vector<std::string>{"Exam", "Quiz"}, "마지막 업데이트 12/4 10:00"));
    // The zone follows the settings, also after a reload.
    store->update([](Database& db) { db.settings.timeZone = "Asia/Seoul"; });
    EXPECT_EQ(store->zone().id() + " " + store->lastUpdateText(), "Asia/Seoul 마지막 업데이트 12/5 03:00");
    EXPECT_EQ(makeStore()->zone().id(), "Asia/Seoul");
    store->update([](Database& db) { db.settings.timeZone = "America/Vancouver"; });
    EXPECT_EQ(store->zone().id(), "America/Vancouver");
    EXPECT_EQ(store->courseName(item("x", "2")) + " " + store->courseName(item("x", "9")), "221 9");
    EXPECT_EQ(store->courseColor(item("x", "1")).hex() + store->courseColor(item("x", "9")).hex(), "1111113B82F6");
    EXPECT_EQ(store->color(item("x", "1")).hex(), "22C55E") << "no due date: the colour for no threshold";
    Assessment soon = item("x", "1");
    soon.due = instantFromSeconds(morning + 3600);
    EXPECT_EQ(store->color(soon).hex(), "EF4444");
}

// Each mark keeps the Store's time of its own last change; with a calendar server set the item also
// waits to be sent, once, in order.
TEST_F(StoreTest, StampsTheMarksThatChangedAndQueuesThemOnlyForACalendarServer)
{
    auto store = makeStore();
    const Instant later = now + std::chrono::hours(1);
    store->override(item("a", "1"), [](UserOverride& o) { o.hidden = true; });
    EXPECT_FALSE(store->db().calendarServer) << "no server, nothing to send";
    store->update([](Database& db) { db.settings.calendarServerURL = "https://cal.example.com/dav/tasks/"; });
    store->setNow(later);
    const std::pair<std::string, std::function<void(UserOverride&)>> changes[]
        = {{"b", [](UserOverride& o) { o.due = now; }}, {"a", [](UserOverride& o) { o.completed = true; }},
            {"b", [](UserOverride& o) { o.hidden = false; }}, {"b", [](UserOverride& o) { o.due = std::nullopt; }}};
    for (const auto& [id, change] : changes)
        store->override(item(id, "1"), change);
    EXPECT_EQ(std::tuple(store->db().overrides.at("a"), store->db().overrides.at("b")),
        std::tuple(UserOverride{true, true, {}, later, now}, UserOverride{.dueChanged = later}));
    EXPECT_EQ(makeStore()->db().calendarServer.value().queue, (std::vector<std::string>{"b", "a"}));
}

// Which hosts pass is Sites::isSiteURL's choice, tested through the calendar's URL lines.
TEST_F(StoreTest, OpensOnlyPagesOfTheSitesInUseAndFollowsTheirAddressesAtOnce)
{
    auto store = makeStore(true);
    std::vector<std::string> opened;
    store->openURL = [&](const std::string& url) { opened.push_back(url); };
    const auto open = [&](std::optional<std::string> url, const std::string& course = "1") {
        opened.clear();
        Assessment target = item(course + ":A", course);
        target.url = url;
        store->open(target);
        return opened.empty() ? std::string("nothing") : opened.front();
    };
    const std::string coursePage = "https://learn.test/pl/course_instance/1/assessments";
    EXPECT_EQ(open("https://canvas.test:8443/courses/1"), "https://canvas.test:8443/courses/1");
    EXPECT_EQ(open(std::nullopt) + " " + open("not a url"), coursePage + " " + coursePage);
    EXPECT_EQ(open("http://learn.test/pl/x") + " " + open("javascript:alert(1)"), "nothing nothing");
    EXPECT_EQ(open(std::nullopt, "9"), "nothing") << "no course, no URL";
    const SiteChoice choice(*store, {});
    store->update([](Database& db) {
        db.settings.assessmentBaseURL = "", db.settings.canvasBaseURL = "https://canvas.other.edu";
    });
    EXPECT_EQ(open("https://canvas.other.edu/courses/1"), "https://canvas.other.edu/courses/1");
    EXPECT_EQ(open("https://canvas.test/courses/1"), "nothing") << "the replaced host";
    EXPECT_EQ(open("https://learn.test/pl/x"), "nothing") << "a site without an address";
    store->setCanvasStatus("Canvas 과목 조회 실패 · 기존 일정 유지", "사이트가 연결을 거부했습니다 (오류 -102)");
    store->setErrors({{"canvas:home", store->canvasStatus()}, {"home", "로그인"}});
    const std::vector<std::string> canvasWarning{
        "Canvas 과목 조회 실패 · 기존 일정 유지\n사이트가 연결을 거부했습니다 (오류 -102)"};
    EXPECT_EQ(std::tuple(store->lineStatus(), store->warnings()), std::tuple(store->canvasStatus(), canvasWarning))
        << "the line speaks of the site in use";
    store->update([](Database& db) { db.settings.assessmentBaseURL = "http://127.0.0.1:8080/"; });
    EXPECT_EQ(open("http://127.0.0.1:8080/pl/x"), "http://127.0.0.1:8080/pl/x") << "this computer over http";
    EXPECT_EQ(open("http://127.0.0.2:8080/pl/x"), "nothing");
    store->setStatus("과목 목록 조회 실패 · 기존 일정 유지", "사이트 주소를 찾을 수 없습니다 (오류 -105)");
    store->setStatus("최근 업데이트 완료");
    store->setErrors({{"canvas:home", store->canvasStatus()}});
    EXPECT_EQ(std::tuple(store->statusReason(), store->warnings()), std::tuple("", canvasWarning))
        << "a reason goes with its status, and a warning names the failing site only";
    store->update([](Database& db) { db.settings.canvasBaseURL = db.settings.assessmentBaseURL = ""; });
    EXPECT_EQ(store->lineStatus(), wording().noSitesStatus);
    EXPECT_EQ(store->db().settings.courses.size(), 3u) << "changing an address deletes nothing";
}

// Byte for byte; and the next start removes what the killed save left behind.
TEST(CrashConsistency, AKilledSaveLeavesTheOldOrTheNewFile)
{
    const test::TemporaryFolder folder;
    const fs::path path = folder / "state.json";
    const Database versions[2] = {sample::database(500, now), sample::database(500, now, 8)};
    const std::string bytes[2] = {StateFile::encode(versions[0]), StateFile::encode(versions[1])};
    ASSERT_NE(bytes[0], bytes[1]);
    StateFile(path).save(versions[0]);
    const auto saveStart = Clock::now();
    StateFile(path).save(versions[1]);
    // The kills home in on the save's end (most of it is encoding), each spread ±50%.
    double aim = std::chrono::duration<double, std::micro>(Clock::now() - saveStart).count();
    std::mt19937 random(2026);
    int kills = 0, midSave = 0, completed = 0;
    // Long enough for 50 kills on a loaded machine running the rest of the suite beside it.
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    for (int next = 0; kills < 300 && Clock::now() < deadline; ++kills) {
        const pid_t child = ::fork();
        if (child == 0) {
            StateFile(path).save(versions[next]);
            ::_exit(0);
        }
        completed += WIFEXITED(killWithin(child, aim, random)) ? 1 : 0;
        const std::string found = contents(path);
        ASSERT_TRUE(found == bytes[0] || found == bytes[1]) << "kill " << kills;
        const bool replaced = found == bytes[next];
        next = found == bytes[0] ? 1 : 0;
        if (entries(folder.path()) == 1) {
            aim *= replaced ? 0.9 : 1.1;
            continue;
        }
        // Cut between mkstemp and rename: the next start cleans up and reads the file.
        ++midSave;
        const auto loaded = StateFile(path).load();
        ASSERT_TRUE(loaded.has_value()) << "kill " << kills;
        ASSERT_EQ(loaded->assessments, versions[1 - next].assessments);
        ASSERT_EQ(entries(folder.path()), 1) << "a temporary survived the start after kill " << kills;
    }
    // The figures of docs/reliability.md.
    std::printf("%d kills, %d mid-save (a temporary was left), %d saves finished first\n", kills, midSave, completed);
    EXPECT_GE(kills, 50) << "the machine is too slow to test this";
    EXPECT_GT(midSave, 0);
}

// A mark and its place in the queue are saved together: killed at any moment, the file holds both or neither.
TEST(CrashConsistency, AKilledMarkLeavesItQueuedOrUntouched)
{
    const test::TemporaryFolder folder;
    const fs::path path = folder / "state.json";
    Database before = sample::database(500, now);
    before.settings.calendarServerURL = "https://cal.example.com/dav/tasks/";
    StateFile(path).save(before);
    const std::string original = contents(path);
    const Assessment target = before.assessments.front();
    const auto mark = [&] {
        const pid_t child = ::fork();
        if (child == 0) {
            Store(path, now).override(target, [](UserOverride& o) { o.completed = !o.completed; });
            ::_exit(0);
        }
        return child;
    };
    // The kills aim at the end of one whole run, timed here, as the machine's speed varies widely.
    const auto runStart = Clock::now();
    ::waitpid(mark(), nullptr, 0);
    double aim = std::chrono::duration<double, std::micro>(Clock::now() - runStart).count();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << original;
    std::mt19937 random(30);
    int marked = 0, untouched = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(8);
    while (marked + untouched < 150 && Clock::now() < deadline) {
        killWithin(mark(), aim, random);
        const auto loaded = StateFile(path).load();
        ASSERT_TRUE(loaded.has_value());
        const bool changed = loaded->overrides != before.overrides;
        const bool queued = loaded->calendarServer && loaded->calendarServer->queue == std::vector{target.id};
        ASSERT_EQ(changed, queued);
        (changed ? marked : untouched) += 1;
        aim *= changed ? 0.9 : 1.1;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << original;
    }
    EXPECT_GT(marked, 0) << untouched << " untouched";
    EXPECT_GT(untouched, 0) << marked << " marked";
}

// Storage stops and the old file stays, with no temporary left; the Store keeps the change in memory.
TEST(CrashConsistency, ADiskFaultStopsStorageAndKeepsTheOldFile)
{
    const std::tuple<const char*, std::function<void(const fs::path& data)>, const char*> cases[]
        = {{"a full disk",
               [](const fs::path&) {
                   std::signal(SIGXFSZ, SIG_IGN); // write() then fails with EFBIG instead of killing
                   const rlimit limit{64 * 1024, 64 * 1024};
                   ::setrlimit(RLIMIT_FSIZE, &limit);
               },
               "state.json"},
            {"a read-only folder", [](const fs::path& data) { ::chmod(data.c_str(), 0500); }, "state.json"},
            {"a directory where the file was",
                [](const fs::path& data) {
                    fs::rename(data / "state.json", data / "kept.json");
                    fs::create_directory(data / "state.json");
                },
                "kept.json"}};
    for (const auto& [name, fault, keptAs] : cases) {
        SCOPED_TRACE(name);
        const test::TemporaryFolder folder;
        fs::permissions(folder.path(), fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
        const fs::path data = folder / "data";
        fs::create_directory(data);
        StateFile(data / "state.json").save(sample::database(20, now));
        const std::string old = contents(data / "state.json");
        for (const fs::path& path : {data, data / "state.json"})
            ASSERT_TRUE(::geteuid() != 0 || ::chown(path.c_str(), 65534, 65534) == 0);
        if (::fork() == 0) { // as "nobody" if root, who passes every permission check, after opening the report
            std::ofstream report(folder / "report");
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(1);
            Store store(data / "state.json", now);
            fault(data);
            store.update([](Database& db) { db.assessments = sample::database(400, now).assessments; });
            report << (store.db().assessments.size() == 400 ? "kept " : "lost ") << store.storageError().value_or("")
                   << std::flush;
            ::_exit(0);
        }
        ::wait(nullptr);
        const std::string reported = contents(folder / "report");
        ::chmod(data.c_str(), 0700);
        EXPECT_TRUE(reported.starts_with("kept " + std::string(wording().stateSaveFailedPrefix))) << reported;
        EXPECT_EQ(contents(data / keptAs), old);
        EXPECT_EQ(entries(data), keptAs == std::string("state.json") ? 1 : 2) << "the temporary was left";
    }
}
