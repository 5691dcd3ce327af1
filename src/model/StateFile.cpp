// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/StateFile.h"

#include "model/JsonDocument.h"
#include "model/JsonTextWriter.h"
#include "model/Wording.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vantory {

namespace {

std::system_error lastSystemError(const std::string& what)
{
    return {errno, std::generic_category(), what};
}

// Writes all bytes to a descriptor, retrying short writes and interruptions.
void writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw lastSystemError("write");
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// The file a path names: a state file kept as a link into a synced folder is written through the
// link, so the link stays and the synced copy changes.
std::filesystem::path target(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_symlink(path, error) ? std::filesystem::weakly_canonical(path) : path;
}

// Creates the missing folders owner-only, whatever the umask: other users must not be able to
// replace the state file or put something else in its place.
void createPrivateDirectories(const std::filesystem::path& folder)
{
    std::error_code error;
    if (folder.empty() || std::filesystem::exists(folder, error))
        return;
    createPrivateDirectories(folder.parent_path());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw lastSystemError("mkdir");
}

// Whether name is one of mkstemp's temporaries of the state file: its name, a dot and six
// letters or digits.
bool isTemporaryOf(const std::string& name, const std::string& stateName)
{
    return name.size() == stateName.size() + 7 && name.starts_with(stateName + ".")
        && std::all_of(name.end() - 6, name.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

// A save killed half-way leaves its temporary, often a whole copy of the data. Only this
// process writes the file (one instance per state file), so every temporary found at start-up
// is stale; nothing else in the folder is touched.
void removeStaleTemporaries(const std::filesystem::path& file)
{
    std::error_code error;
    const std::string stateName = file.filename().string();
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), error)) {
        struct stat status { };
        if (isTemporaryOf(entry.path().filename().string(), stateName) && ::lstat(entry.path().c_str(), &status) == 0
            && S_ISREG(status.st_mode) && status.st_uid == ::geteuid())
            ::unlink(entry.path().c_str());
    }
}

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int descriptor)
        : descriptor_(descriptor)
    {
    }
    ~Descriptor() { ::close(descriptor_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return descriptor_; }

private:
    int descriptor_;
};

// The whole file in one buffer, read with one call for a file that does not change meanwhile: the
// parser then scans contiguous bytes, several times faster than through a stream. Opening a FIFO
// for reading would block start-up until someone writes to it, so the file is opened without
// blocking and must be a regular file.
std::string readRegularFile(const std::filesystem::path& path)
{
    const int opened = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0)
        throw lastSystemError("open");
    const Descriptor descriptor(opened);
    struct stat status { };
    if (::fstat(descriptor.get(), &status) != 0 || !S_ISREG(status.st_mode))
        throw std::runtime_error("not a regular file");

    // One spare byte shows whether the file grew since fstat; then the buffer grows too. The
    // parser reads a little past the end of the text.
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size) + 1 + codec::JsonDocument::paddingRoom);
    bytes.resize(static_cast<std::size_t>(status.st_size) + 1);
    std::size_t length = 0;
    for (;;) {
        if (length == bytes.size())
            bytes.resize(2 * bytes.size());
        const ssize_t count = ::read(descriptor.get(), bytes.data() + length, bytes.size() - length);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            throw lastSystemError("read");
        }
        if (count == 0)
            break;
        length += static_cast<std::size_t>(count);
    }
    bytes.resize(length);
    return bytes;
}

// Temporary file in the same directory, fsync, rename over the old file, fsync the directory:
// a reader sees either the old file or the new one, even after a power loss. The file keeps
// mkstemp's owner-only permissions: it holds the user's private course data.
void writeAtomically(const std::filesystem::path& link, std::string_view bytes)
{
    const std::filesystem::path path = target(link);
    std::filesystem::path pattern = path;
    pattern.replace_filename(path.filename().native() + ".XXXXXX");
    std::string temporary = pattern.native();
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        throw lastSystemError("mkstemp");
    try {
        writeAll(descriptor, bytes);
        if (::fsync(descriptor) != 0)
            throw lastSystemError("fsync");
        if (::close(descriptor) != 0) {
            ::unlink(temporary.c_str());
            throw lastSystemError("close");
        }
    } catch (...) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const auto error = lastSystemError("rename");
        ::unlink(temporary.c_str());
        throw error;
    }
    if (const int directory = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY); directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

} // namespace

StateFile::StateFile(std::filesystem::path path)
    : path_(std::move(path))
{
}

std::filesystem::path StateFile::location(
    const std::optional<std::filesystem::path>& dataDirectory, const std::filesystem::path& applicationSupportDirectory)
{
    if (dataDirectory)
        return std::filesystem::absolute(*dataDirectory) / "state.json";
    return applicationSupportDirectory / "Vantory" / "state.json";
}

std::optional<Database> StateFile::load()
{
    removeStaleTemporaries(target(path_));
    return read();
}

std::optional<Database> StateFile::read()
{
    std::error_code error;
    if (!std::filesystem::exists(path_, error) && !error)
        return std::nullopt;
    try {
        Database database = decode(readRegularFile(path_));
        database.settings.normalize();
        return database;
    } catch (const std::exception&) {
        storageError_ = std::string(wording().stateReadFailed);
        return std::nullopt;
    }
}

void StateFile::save(const Database& database)
{
    if (storageError_)
        return;
    try {
        createPrivateDirectories(path_.parent_path());
        writeAtomically(path_, encode(database));
    } catch (const std::system_error& error) {
        storageError_ = std::string(wording().stateSaveFailedPrefix) + error.code().message();
    } catch (const std::exception& error) {
        storageError_ = std::string(wording().stateSaveFailedPrefix) + error.what();
    }
}

std::string StateFile::encode(const Database& database)
{
    std::string text;
    // About the size an item takes, so that a large database's text is not copied as it grows.
    text.reserve(4096 + 640 * database.assessments.size());
    codec::JsonTextWriter writer(text);
    writeJson(writer, database);
    text += '\n';
    return text;
}

Database StateFile::decode(const std::string& bytes)
{
    const auto document = codec::JsonDocument::parse(bytes);
    Database database;
    readJson(document.root(), database);
    return database;
}

} // namespace vantory
