// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "support/TemporaryFolder.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace vantory;
namespace fs = std::filesystem;
using Action = CommandLine::Action;

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
        {{"--login", "-h"}, Action::help, {}, {}, ""}, {{"--version", "--bar=waybar"}, Action::version, {}, {}, ""},
        {{"--help", "--version"}, Action::help, {}, {}, ""},
        {{"--data-dir"}, {}, {}, {}, "option '--data-dir' needs a folder"},
        {{"--data-dir="}, {}, {}, {}, "option '--data-dir' needs a folder"},
        {{"--bar=lemonbar"}, {}, {}, {}, "option '--bar' needs one of waybar, i3blocks, polybar"},
        {{"--once"}, {}, {}, {}, "option '--once' works only with '--bar'"},
        {{"--login=yes"}, {}, {}, {}, "option '--login' takes no value"}};
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
