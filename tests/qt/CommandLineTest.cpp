#include "app/CommandLine.h"

#include "app/SingleInstance.h"

#include "support/TemporaryFolder.h"

#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace vantory;
namespace fs = std::filesystem;
using Action = CommandLine::Action;
using Claim = SingleInstance::Claim;

TEST(CommandLineTest, ReadsEveryOptionAndLetsQtsOwnPass)
{
    using Arguments = std::vector<std::string>;
    using Bar = std::tuple<BarFormat, bool>;
    const std::tuple<Arguments, Action, std::optional<std::string>, Bar> cases[] = {
        {{}, Action::run, {}, {}},
        {{"--login", "--show-calendar", "--tray-only", "--with-strip", "--data-dir", "/d"}, Action::run, "/d", {}},
        {{"--data-dir=/e", "-platform", "xcb", "-reverse"}, Action::run, "/e", {}},
        {{"--bar=polybar", "--once"}, Action::bar, {}, {BarFormat::polybar, true}},
        {{"--bar", "i3blocks", "--data-dir", "x"}, Action::bar, "x", {BarFormat::i3blocks, false}},
        {{"--login", "-h"}, Action::help, {}, {}},
        {{"--version", "--bar=waybar"}, Action::version, {}, {}},
        {{"--help", "--version"}, Action::help, {}, {}},
    };
    for (const auto& [arguments, action, dataDirectory, bar] : cases) {
        const auto parsed = CommandLine::parse(arguments);
        ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed)) << arguments.size();
        const auto& line = std::get<CommandLine>(parsed);
        EXPECT_EQ(std::tuple(line.action, line.dataDirectory), std::tuple(action, dataDirectory)) << arguments.size();
        EXPECT_EQ(action == Action::bar ? std::tuple(line.bar, line.once) : bar, bar); // read only for a bar
    }
}

TEST(CommandLineTest, RefusesWhatItDoesNotKnow)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"calendar"}, "알 수 없는 옵션 'calendar'"},
        {{"-x"}, "알 수 없는 옵션 '-x'"},
        {{"--data-dir"}, "'--data-dir'에 폴더를 지정해 주세요"},
        {{"--data-dir="}, "'--data-dir'에 폴더를 지정해 주세요"},
        {{"--bar=lemonbar"}, "'--bar'에는 waybar, i3blocks, polybar 중 하나를 지정해 주세요"},
        {{"--once"}, "'--once'는 '--bar'와 함께 써 주세요"},
        {{"--login=yes"}, "'--login' 옵션은 값을 받지 않아요"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto parsed = CommandLine::parse(arguments);
        ASSERT_TRUE(std::holds_alternative<CommandLine::UsageError>(parsed)) << arguments.front();
        EXPECT_EQ(std::get<CommandLine::UsageError>(parsed).message, message);
    }
}

// The installed program without a display: what prints, where, and the exit status.
TEST(CommandLineTest, TheProgramAnswersWithoutADisplay)
{
    test::TemporaryFolder folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
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
        std::tuple(2, "", "vantory: 알 수 없는 옵션 '--nope'\n" + std::string(CommandLine::helpHint) + "\n"));

    const auto [status, out, error] = run({QStringLiteral("--bar=waybar"), QStringLiteral("--once"),
        QStringLiteral("--data-dir"), QString::fromStdString(folder.path().string())});
    EXPECT_EQ(status, 0) << error;
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.find('\n'), out.size() - 1) << "exactly one line";
    EXPECT_EQ(nlohmann::json::parse(out).at("text"), "Vantory · 연결");
    EXPECT_TRUE(fs::is_empty(folder.path())) << "the bar mode creates nothing";
}

TEST(SingleInstanceTest, ASecondLaunchForTheSameFileHandsOver)
{
    const test::TemporaryFolder folder;
    SingleInstance first(folder / "state.json");
    ASSERT_EQ(first.claim({QStringLiteral("vantory")}), Claim::owner);
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    SingleInstance second(folder / "state.json");
    EXPECT_EQ(second.claim({QStringLiteral("vantory"), QStringLiteral("--show-calendar")}), Claim::handedOver);
    ASSERT_TRUE(activations.wait(5000));
    EXPECT_EQ(activations.front().front().toStringList().last(), QStringLiteral("--show-calendar"));
    EXPECT_EQ(SingleInstance(folder / "other" / "state.json").claim({QStringLiteral("vantory")}), Claim::owner);
}

// The lock keeps a second writer out even when the hand-over socket cannot open; a later launch is
// then told the owner cannot be reached instead of reporting success.
TEST(SingleInstanceTest, OwnsTheFileWithoutASocketAndSaysSoToALaterLaunch)
{
    const test::TemporaryFolder folder;
    fs::create_directory(folder / "runtime");
    fs::permissions(folder / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    // Local sockets go into the temporary folder; a path longer than a socket address can hold.
    const fs::path longFolder = folder / std::string(120, 'x');
    fs::create_directory(longFolder);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), temporary = qgetenv("TMPDIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString((folder / "runtime").string()));
    qputenv("TMPDIR", QByteArray::fromStdString(longFolder.string()));

    SingleInstance first(folder / "state.json");
    EXPECT_EQ(first.claim({QStringLiteral("vantory")}), Claim::owner);
    EXPECT_FALSE(first.acceptsHandOver());
    EXPECT_EQ(SingleInstance(folder / "state.json").claim({QStringLiteral("vantory")}), Claim::ownerUnreachable);
    for (const auto& [name, value] : {std::pair{"XDG_RUNTIME_DIR", runtime}, {"TMPDIR", temporary}})
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
}
