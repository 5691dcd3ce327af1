// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include "support/TemporaryFolder.h"

#include <QtGlobal>

#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

using namespace vantory;
namespace fs = std::filesystem;
using Claim = SingleInstance::Claim;

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
