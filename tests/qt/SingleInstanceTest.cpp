#include "app/SingleInstance.h"

#include "support/TemporaryFolder.h"

#include <QSignalSpy>

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

using namespace vantory;
namespace fs = std::filesystem;
using Claim = SingleInstance::Claim;

namespace {

// Sets an environment variable for one scope and restores what was there.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const fs::path& value)
        : name_(name)
    {
        if (qEnvironmentVariableIsSet(name))
            previous_ = qgetenv(name);
        qputenv(name, QByteArray::fromStdString(value.string()));
    }
    ~EnvironmentOverride()
    {
        if (previous_)
            qputenv(name_, *previous_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    std::optional<QByteArray> previous_;
};

} // namespace

TEST(SingleInstanceTest, ASecondLaunchForTheSameFileHandsOver)
{
    const test::TemporaryFolder folder;
    const fs::path file = folder / "state.json";
    SingleInstance first(file);
    ASSERT_EQ(first.claim({QStringLiteral("vantory")}), Claim::owner);
    EXPECT_TRUE(first.acceptsHandOver());
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    SingleInstance second(file);
    EXPECT_EQ(second.claim({QStringLiteral("vantory"), QStringLiteral("--show-calendar")}), Claim::handedOver);
    ASSERT_TRUE(activations.wait(5000));
    EXPECT_EQ(activations.front().front().toStringList().last(), QStringLiteral("--show-calendar"));

    SingleInstance other(folder / "other" / "state.json");
    EXPECT_EQ(other.claim({QStringLiteral("vantory")}), Claim::owner);
}

// The lock keeps a second writer out even when the hand-over socket cannot open; a later launch is then told the owner
// cannot be reached instead of reporting success.
TEST(SingleInstanceTest, OwnsTheFileWithoutASocketAndSaysSoToALaterLaunch)
{
    const test::TemporaryFolder folder;
    fs::create_directory(folder / "runtime");
    fs::permissions(folder / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    const EnvironmentOverride runtime("XDG_RUNTIME_DIR", folder / "runtime");
    // Local sockets go into the temporary folder; a path longer than a socket address can hold.
    const fs::path longFolder = folder / std::string(120, 'x');
    fs::create_directory(longFolder);
    const EnvironmentOverride sockets("TMPDIR", longFolder);

    SingleInstance first(folder / "state.json");
    ASSERT_EQ(first.claim({QStringLiteral("vantory")}), Claim::owner);
    EXPECT_FALSE(first.acceptsHandOver());

    SingleInstance second(folder / "state.json");
    EXPECT_EQ(second.claim({QStringLiteral("vantory")}), Claim::ownerUnreachable);
}
