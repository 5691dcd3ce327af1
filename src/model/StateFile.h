// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Database.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantory {

// The state file "state.json": where it lives, how the database is read from and written to it,
// and whether storage still works. Once a load or a save fails, storage stops for the rest of
// the run, so a file that could not be read is never overwritten with a fresh database.
class StateFile {
public:
    explicit StateFile(std::filesystem::path path);

    // "state.json" in dataDirectory when given, else <applicationSupportDirectory>/Vantory/state.json.
    // A relative directory is made absolute.
    static std::filesystem::path location(const std::optional<std::filesystem::path>& dataDirectory,
        const std::filesystem::path& applicationSupportDirectory);

    const std::filesystem::path& path() const { return path_; }

    // The stored database with its settings normalised; none when there is no file yet, or when
    // the file cannot be read or decoded (then storage stops and the file stays untouched).
    std::optional<Database> load();
    // The same without tidying the folder (stale temporaries stay): for a reader beside the
    // process that owns the file.
    std::optional<Database> read();

    // Writes the whole database atomically; does nothing while storage is stopped.
    void save(const Database& database);

    // Absent while storage is healthy; the Korean text that stopped it otherwise.
    const std::optional<std::string>& storageError() const { return storageError_; }

    // The file's bytes for a database: pretty-printed, keys sorted, dates as seconds since 2001.
    static std::string encode(const Database& database);
    // The database in a file's bytes; throws std::exception when they are not a valid database.
    static Database decode(const std::string& bytes);

private:
    std::filesystem::path path_;
    std::optional<std::string> storageError_;
};

} // namespace vantory
