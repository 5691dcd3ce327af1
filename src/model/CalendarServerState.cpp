// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/CalendarServerState.h"

#include "model/JsonDecoding.h"
#include "model/JsonWriter.h"

#include <algorithm>
#include <set>

namespace vantory {

namespace {

std::string limited(std::string text, std::size_t maxBytes, const char* key)
{
    if (text.size() > maxBytes)
        throw codec::DecodeError(std::string(key) + ": too long");
    return text;
}

std::optional<std::string> limited(std::optional<std::string> text, std::size_t maxBytes, const char* key)
{
    return text ? std::optional(limited(std::move(*text), maxBytes, key)) : std::nullopt;
}

} // namespace

void CalendarServerState::enqueue(const std::string& id)
{
    if (std::find(queue.begin(), queue.end(), id) == queue.end())
        queue.push_back(id);
}

void writeJson(codec::JsonWriter& writer, const ServerTask& task)
{
    writer.beginObject();
    codec::put(writer, "digest", task.digest);
    codec::put(writer, "etag", task.etag);
    codec::put(writer, "href", task.href);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, ServerTask& task)
{
    using State = CalendarServerState;
    codec::requireObject(json, "ServerTask");
    task.href = limited(codec::required<std::string>(json, "href"), State::maxHrefBytes, "href");
    task.etag = limited(codec::required<std::string>(json, "etag"), State::maxETagBytes, "etag");
    // A digest is a short fixed-size text; an href's length is plenty.
    task.digest = limited(codec::required<std::string>(json, "digest"), State::maxHrefBytes, "digest");
}

void writeJson(codec::JsonWriter& writer, const CalendarServerState& state)
{
    writer.beginObject();
    codec::put(writer, "ctag", state.ctag);
    codec::put(writer, "queue", state.queue);
    codec::put(writer, "syncToken", state.syncToken);
    codec::put(writer, "tasks", state.tasks);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, CalendarServerState& state)
{
    using State = CalendarServerState;
    codec::requireObject(json, "CalendarServerState");
    // Counted before decoding, so a huge list costs nothing.
    for (const char* key : {"tasks", "queue"}) {
        const auto found = json.find(key);
        if (found && found->size() > State::maxTasks)
            throw codec::DecodeError(std::string(key) + ": too many entries");
    }
    state.tasks = codec::required<std::map<std::string, ServerTask>>(json, "tasks");
    state.queue.clear();
    // A hand-edited duplicate is dropped rather than failing the whole file: the order is what counts.
    std::set<std::string> queued;
    for (std::string& id : codec::required<std::vector<std::string>>(json, "queue")) {
        if (queued.insert(id).second)
            state.queue.push_back(std::move(id));
    }
    state.syncToken = limited(codec::optional<std::string>(json, "syncToken"), State::maxTokenBytes, "syncToken");
    state.ctag = limited(codec::optional<std::string>(json, "ctag"), State::maxTokenBytes, "ctag");
}

} // namespace vantory
