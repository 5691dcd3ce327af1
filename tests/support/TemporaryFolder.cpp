#include "support/TemporaryFolder.h"

#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace vantory::test {

namespace {

// "Suite.Test", with the slashes of parameterised names replaced so that the name stays one folder.
std::string currentTestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "no-test";
    for (char& c : name)
        if (c == '/' || c == '\\')
            c = '_';
    // File names end at 255 bytes.
    return name.substr(0, 160);
}

} // namespace

TemporaryFolder::TemporaryFolder()
{
    static std::atomic<int> count = 0;
    path_ = std::filesystem::temp_directory_path()
        / ("vantory-" + std::to_string(::getpid()) + "-" + std::to_string(count++) + "-" + currentTestName());
    // A crashed earlier process with the same id may have left the folder behind.
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder()
{
    // Never throws: a folder left behind must not turn into a crash in a test's clean-up.
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string contents(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

} // namespace vantory::test
