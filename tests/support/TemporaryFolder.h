// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace vantory::test {

// A new, empty temporary folder, removed with its contents when the object goes. Named after the process,
// the running test and a count, so parallel test processes, and two folders of one test, never share one.
class TemporaryFolder {
public:
    TemporaryFolder()
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
    ~TemporaryFolder()
    {
        std::error_code ignored; // a folder left behind must not crash a test's clean-up
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A file's bytes; empty when it cannot be read.
inline std::string contents(const std::filesystem::path& file)
{
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

} // namespace vantory::test
