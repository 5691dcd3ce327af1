#include "model/StateFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
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

// Temporary file in the same directory, fsync, rename over the old file, fsync the directory:
// a reader sees either the old file or the new one, even after a power loss. The file keeps
// mkstemp's owner-only permissions: it holds the user's private course data.
void writeAtomically(const std::filesystem::path& path, std::string_view bytes)
{
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

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    if (!stream || std::filesystem::is_directory(path))
        throw std::runtime_error("unreadable");
    return std::move(bytes).str();
}

} // namespace

StateFile::StateFile(std::filesystem::path path)
    : path_(std::move(path))
{
}

std::filesystem::path StateFile::location(std::span<const std::string> arguments,
                                          const std::filesystem::path& applicationSupportDirectory)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--data-dir")
            continue;
        if (i + 1 < arguments.size())
            return std::filesystem::absolute(arguments[i + 1]) / "state.json";
        break;
    }
    return applicationSupportDirectory / "Vantory" / "state.json";
}

std::optional<Database> StateFile::load()
{
    std::error_code error;
    if (!std::filesystem::exists(path_, error) && !error)
        return std::nullopt;
    try {
        Database database = decode(readAll(path_));
        database.settings.normalize();
        return database;
    } catch (const std::exception&) {
        storageError_ = std::string(readFailedText);
        return std::nullopt;
    }
}

void StateFile::save(const Database& database)
{
    if (storageError_)
        return;
    try {
        std::filesystem::create_directories(path_.parent_path());
        writeAtomically(path_, encode(database));
    } catch (const std::system_error& error) {
        storageError_ = std::string(saveFailedPrefix) + error.code().message();
    } catch (const std::exception& error) {
        storageError_ = std::string(saveFailedPrefix) + error.what();
    }
}

std::string StateFile::encode(const Database& database)
{
    // A stray invalid UTF-8 byte from a page must not stop all saving: it is replaced instead.
    return nlohmann::json(database).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

Database StateFile::decode(std::string_view bytes)
{
    return nlohmann::json::parse(bytes).get<Database>();
}

} // namespace vantory
