#include "support/TemporaryFolder.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace vantory::test {

TemporaryFolder::TemporaryFolder()
{
    static std::atomic<int> count = 0;
    // "Suite.Test", one folder even for parameterised names, and well short of the 255-byte name limit.
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "no-test";
    std::ranges::replace(name, '/', '_');
    path_ = std::filesystem::temp_directory_path()
        / ("vantory-" + std::to_string(::getpid()) + "-" + std::to_string(count++) + "-" + name.substr(0, 160));
    std::filesystem::remove_all(path_); // left behind by a crashed earlier process with the same id
    std::filesystem::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored; // a folder left behind must not crash a test's clean-up
    std::filesystem::remove_all(path_, ignored);
}

std::string contents(const std::filesystem::path& file)
{
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

} // namespace vantory::test
