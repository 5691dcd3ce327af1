#pragma once

#include <filesystem>
#include <string>

namespace vantory::test {

// A new, empty temporary folder, removed with its contents when the object goes. Named after the process,
// the running test and a count, so parallel test processes, and two folders of one test, never share one.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A file's bytes; empty when it cannot be read.
std::string contents(const std::filesystem::path& file);

} // namespace vantory::test
