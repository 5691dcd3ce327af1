#include "model/StateFile.h"
#include "store/Store.h"

#include "SampleDatabase.h"
#include "support/TemporaryFolder.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vantory;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const Instant now = instantFromSeconds(1764871200);

using test::contents;

std::size_t entries(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Runs body in a child process and returns what it printed; a child that is root runs it as
// "nobody", since root passes every permission check.
std::string inChild(const std::function<std::string()>& body)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        std::string out = "could not drop root";
        if (::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0))
            out = body();
        [[maybe_unused]] auto written = ::write(pipe[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    ::waitpid(child, nullptr, 0);
    return out;
}

} // namespace

// A save killed at any moment leaves the old file or the new one, byte for byte, and the next
// start removes what the killed save left behind.
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
    // Most of a save is encoding, so the kills home in on its end: a kill after the save
    // finished aims earlier, one before anything was written aims later, each spread ±50%.
    double aim = std::chrono::duration<double, std::micro>(Clock::now() - saveStart).count();

    std::mt19937 random(2026);
    int kills = 0, midSave = 0, completed = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(8);
    for (int next = 0; kills < 300 && Clock::now() < deadline; ++kills) {
        const pid_t child = ::fork();
        if (child == 0) {
            StateFile(path).save(versions[next]);
            ::_exit(0);
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<long>(aim / 2, aim * 3 / 2)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        completed += WIFEXITED(status) ? 1 : 0;

        const std::string found = contents(path);
        ASSERT_TRUE(found == bytes[0] || found == bytes[1]) << "kill " << kills;
        const bool replaced = found == bytes[next];
        next = found == bytes[0] ? 1 : 0;
        if (entries(folder.path()) == 1) {
            aim *= replaced ? 0.9 : 1.1;
            continue;
        }
        // The save was cut between mkstemp and rename: the next start cleans up and reads the file.
        ++midSave;
        const auto loaded = StateFile(path).load();
        ASSERT_TRUE(loaded.has_value()) << "kill " << kills;
        ASSERT_EQ(loaded->assessments, versions[1 - next].assessments);
        ASSERT_EQ(entries(folder.path()), 1u) << "a temporary survived the start after kill " << kills;
    }
    std::printf("%d kills, %d mid-save (a temporary was left), %d saves finished first\n", kills, midSave, completed);
    EXPECT_GE(kills, 50) << "the machine is too slow to test this";
    EXPECT_GT(midSave, 0);
}

// Each disk fault stops storage with the save-failed text, keeps the old file byte for byte and
// leaves no temporary, while the Store keeps the changed database in memory. The child that
// saves runs as "nobody" when the test runs as root, so it must own the data.
TEST(CrashConsistency, ADiskFaultStopsStorageAndKeepsTheOldFile)
{
    const struct {
        const char* name;
        std::function<void(const fs::path& data)> fault;
        const char* keptAs;
    } cases[] = {
        {"a full disk",
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
            "kept.json"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::TemporaryFolder folder;
        fs::permissions(folder.path(), fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
        const fs::path data = folder / "data";
        fs::create_directory(data);
        StateFile(data / "state.json").save(sample::database(20, now));
        const std::string old = contents(data / "state.json");
        for (const fs::path& path : {data, data / "state.json"})
            ASSERT_TRUE(::geteuid() != 0 || ::chown(path.c_str(), 65534, 65534) == 0);

        const std::string reported = inChild([&] {
            Store store(data / "state.json", now);
            c.fault(data);
            store.update([](Database& db) { db.assessments = sample::database(400, now).assessments; });
            const bool kept = store.db().assessments.size() == 400;
            return (kept ? "kept " : "lost ") + store.storageError().value_or("no error");
        });
        ::chmod(data.c_str(), 0700);
        EXPECT_TRUE(reported.starts_with("kept " + std::string(StateFile::saveFailedPrefix))) << reported;
        EXPECT_EQ(contents(data / c.keptAs), old);
        EXPECT_EQ(entries(data), c.keptAs == std::string("state.json") ? 1u : 2u) << "the temporary was left";
    }
}
