#include "app/CommandLine.h"

#include "app/BarFollower.h"
#include "app/QtScheduler.h"
#include "app/SingleInstance.h"
#include "model/StateFile.h"

#include "support/TemporaryFolder.h"

#include <QProcess>
#include <QTest>

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace vantory;
namespace fs = std::filesystem;
using Action = CommandLine::Action;
using Claim = SingleInstance::Claim;

// An unknown option is the program test's.
TEST(CommandLineTest, ReadsEveryOptionLetsQtsOwnPassAndRefusesWhatItDoesNotKnow)
{
    using Arguments = std::vector<std::string>;
    using Bar = std::tuple<BarFormat, bool>;
    // The line read, or the usage error's message.
    const std::tuple<Arguments, Action, std::optional<std::string>, Bar, std::string> cases[] = {
        {{}, Action::run, {}, {}, ""},
        {{"--login", "--show-calendar", "--tray-only", "--with-strip", "--data-dir", "/d"}, Action::run, "/d", {}, ""},
        {{"--data-dir=/e", "-platform", "xcb", "-reverse"}, Action::run, "/e", {}, ""},
        {{"--bar=polybar", "--once"}, Action::bar, {}, {BarFormat::polybar, true}, ""},
        {{"--bar", "i3blocks", "--data-dir", "x"}, Action::bar, "x", {BarFormat::i3blocks, false}, ""},
        {{"--login", "-h"}, Action::help, {}, {}, ""},
        {{"--version", "--bar=waybar"}, Action::version, {}, {}, ""},
        {{"--help", "--version"}, Action::help, {}, {}, ""},
        {{"--data-dir"}, {}, {}, {}, "option '--data-dir' needs a folder"},
        {{"--data-dir="}, {}, {}, {}, "option '--data-dir' needs a folder"},
        {{"--bar=lemonbar"}, {}, {}, {}, "option '--bar' needs one of waybar, i3blocks, polybar"},
        {{"--once"}, {}, {}, {}, "option '--once' works only with '--bar'"},
        {{"--login=yes"}, {}, {}, {}, "option '--login' takes no value"},
    };
    for (const auto& [arguments, action, dataDirectory, bar, error] : cases) {
        const auto parsed = CommandLine::parse(arguments);
        const auto* refused = std::get_if<CommandLine::UsageError>(&parsed);
        ASSERT_EQ(refused ? refused->message : "", error) << arguments.size();
        if (refused)
            continue;
        const auto& line = std::get<CommandLine>(parsed);
        EXPECT_EQ(std::tuple(line.action, line.dataDirectory), std::tuple(action, dataDirectory)) << arguments.size();
        EXPECT_EQ(action == Action::bar ? std::tuple(line.bar, line.once) : bar, bar); // read only for a bar
    }
}

TEST(CommandLineTest, TheProgramAnswersWithoutADisplay)
{
    test::TemporaryFolder folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    // The bar's words in Korean, whatever this machine's language.
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("ko_KR.UTF-8"));
    const auto run = [&](const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VANTORY_APP_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForFinished(30000)) << arguments.join(u' ').toStdString();
        return std::tuple{process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
    };
    EXPECT_EQ(run({QStringLiteral("--help")}), std::tuple(0, CommandLine::help(), ""));
    EXPECT_EQ(run({QStringLiteral("--nope")}),
        std::tuple(2, "", "vantory: unknown option '--nope'\n" + std::string(CommandLine::helpHint) + "\n"));

    const auto [status, out, error] = run({QStringLiteral("--bar=waybar"), QStringLiteral("--once"),
        QStringLiteral("--data-dir"), QString::fromStdString(folder.path().string())});
    ASSERT_EQ(std::tuple(status, std::ranges::count(out, '\n'), out.ends_with('\n')), std::tuple(0, 1, true)) << error;
    EXPECT_EQ(nlohmann::json::parse(out).at("text"), "Vantory · 연결");
    EXPECT_TRUE(fs::is_empty(folder.path())) << "the bar mode creates nothing";
}

// Which launch owns which file; without a socket a later launch is told the owner cannot be
// reached, not that it handed over. What the hand-over carries is the desktop test's.
TEST(SingleInstanceTest, ASecondLaunchForTheSameFileHandsOverOrHearsTheOwnerIsUnreachable)
{
    const test::TemporaryFolder folder;
    const auto claim = [](const fs::path& file) { return SingleInstance(file).claim({QStringLiteral("vantory")}); };
    SingleInstance first(folder / "state.json");
    ASSERT_EQ(first.claim({QStringLiteral("vantory")}), Claim::owner);
    EXPECT_EQ(std::tuple(claim(folder / "state.json"), claim(folder / "other" / "state.json")),
        std::tuple(Claim::handedOver, Claim::owner));

    fs::create_directory(folder / "runtime");
    fs::permissions(folder / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    // Local sockets go into the temporary folder; a path longer than a socket address can hold.
    const fs::path longFolder = folder / std::string(120, 'x');
    fs::create_directory(longFolder);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), temporary = qgetenv("TMPDIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString((folder / "runtime").string()));
    qputenv("TMPDIR", QByteArray::fromStdString(longFolder.string()));
    SingleInstance socketless(folder / "third" / "state.json");
    EXPECT_EQ(socketless.claim({QStringLiteral("vantory")}), Claim::owner);
    EXPECT_FALSE(socketless.acceptsHandOver());
    EXPECT_EQ(claim(folder / "third" / "state.json"), Claim::ownerUnreachable);
    for (const auto& [name, value] : {std::pair{"XDG_RUNTIME_DIR", runtime}, {"TMPDIR", temporary}})
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
}

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
