// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/JsonFwd.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// What the calendar sync knows of one item's task on the server.
struct ServerTask {
    std::string href; // the task's address on the server, as the server names it
    std::string etag; // the version last written or read
    std::string digest; // CalendarTask::digest of the marks and fields last written or read

    bool operator==(const ServerTask&) const = default;
};

// The calendar sync's memory between runs. The state file is untrusted input like any other, so
// reading refuses more than these limits; the sync never stores a longer text or more tasks.
struct CalendarServerState {
    static constexpr std::size_t maxTasks = 100'000;
    static constexpr std::size_t maxHrefBytes = 2048;
    static constexpr std::size_t maxETagBytes = 256;
    static constexpr std::size_t maxTokenBytes = 4096;

    // By item id.
    std::map<std::string, ServerTask> tasks;
    // Item ids with local changes not yet sent, oldest first, each once.
    std::vector<std::string> queue;
    std::optional<std::string> syncToken;
    std::optional<std::string> ctag;

    bool operator==(const CalendarServerState&) const = default;

    // Appends the id unless it is already waiting.
    void enqueue(const std::string& id);
};

void writeJson(codec::JsonWriter& writer, const ServerTask& task);
void readJson(const codec::JsonValue& json, ServerTask& task);
void writeJson(codec::JsonWriter& writer, const CalendarServerState& state);
void readJson(const codec::JsonValue& json, CalendarServerState& state);

} // namespace vantory
