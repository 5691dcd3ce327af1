// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantory::codec {

// Where a record's writeJson sends its values, in document order (JsonTextWriter writes them as
// text). Keys of an object must come in ascending byte order, the order nlohmann's objects keep,
// so the text is written in one pass exactly as nlohmann would print the tree.
class JsonWriter {
public:
    virtual ~JsonWriter() = default;

    virtual void beginObject() = 0;
    virtual void endObject() = 0;
    virtual void beginArray() = 0;
    virtual void endArray() = 0;
    // Names the object member whose value comes next.
    virtual void key(std::string_view name) = 0;
    virtual void string(std::string_view text) = 0;
    virtual void boolean(bool value) = 0;
    virtual void integer(std::int64_t value) = 0;
    virtual void number(double value) = 0;
};

inline void writeValue(JsonWriter& writer, const std::string& text)
{
    writer.string(text);
}

inline void writeValue(JsonWriter& writer, bool value)
{
    writer.boolean(value);
}

inline void writeValue(JsonWriter& writer, std::int64_t value)
{
    writer.integer(value);
}

inline void writeValue(JsonWriter& writer, double value)
{
    writer.number(value);
}

// Dates are numbers of seconds since 2001-01-01 00:00:00 UTC.
inline void writeValue(JsonWriter& writer, Instant instant)
{
    writer.number(secondsSince1970(instant) - referenceEpochOffset);
}

// A record writes itself with its own writeJson, found by argument-dependent lookup.
template <typename Record> void writeValue(JsonWriter& writer, const Record& record)
{
    writeJson(writer, record);
}

template <typename T> void writeValue(JsonWriter& writer, const std::vector<T>& values)
{
    writer.beginArray();
    for (const T& value : values)
        writeValue(writer, value);
    writer.endArray();
}

// std::map iterates in ascending key order, as JsonWriter requires.
template <typename T> void writeValue(JsonWriter& writer, const std::map<std::string, T>& values)
{
    writer.beginObject();
    for (const auto& [name, value] : values) {
        writer.key(name);
        writeValue(writer, value);
    }
    writer.endObject();
}

// One member of the object being written.
template <typename T> void put(JsonWriter& writer, std::string_view key, const T& value)
{
    writer.key(key);
    writeValue(writer, value);
}

// An absent optional has no member at all.
template <typename T> void put(JsonWriter& writer, std::string_view key, const std::optional<T>& value)
{
    if (value)
        put(writer, key, *value);
}

} // namespace vantory::codec
