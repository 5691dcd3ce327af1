// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"
#include "model/JsonDocument.h"

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// Strict JSON decoding shared by the records: a missing required key or a value of the wrong
// JSON type throws DecodeError, never a silent conversion (nlohmann would turn true into 1.0).
// Dates are numbers of seconds since 2001-01-01 00:00:00 UTC. Each record reads itself from a
// JsonValue in readJson and writes itself to a JsonWriter in writeJson; the tests' nlohmann
// from_json and to_json go through those two (tests/support/RecordJson.h).
namespace vantory::codec {

struct DecodeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A record reads itself with its own readJson, found by argument-dependent lookup.
template <typename T> struct Decoder {
    static T decode(JsonValue value)
    {
        T record;
        readJson(value, record);
        return record;
    }
};

template <typename T> T decode(JsonValue value)
{
    return Decoder<T>::decode(value);
}

template <> struct Decoder<std::string> {
    static std::string decode(JsonValue value);
};
template <> struct Decoder<bool> {
    static bool decode(JsonValue value);
};
template <> struct Decoder<std::int64_t> {
    static std::int64_t decode(JsonValue value);
};
template <> struct Decoder<double> {
    static double decode(JsonValue value);
};
template <> struct Decoder<Instant> {
    static Instant decode(JsonValue value);
};

template <typename T> struct Decoder<std::vector<T>> {
    static std::vector<T> decode(JsonValue value)
    {
        if (value.kind() != JsonValue::Kind::Array)
            throw DecodeError("expected an array");
        std::vector<T> result;
        result.reserve(value.size());
        value.forEachElement([&](JsonValue element) { result.push_back(Decoder<T>::decode(element)); });
        return result;
    }
};

template <typename T> struct Decoder<std::map<std::string, T>> {
    static std::map<std::string, T> decode(JsonValue value)
    {
        if (value.kind() != JsonValue::Kind::Object)
            throw DecodeError("expected an object");
        std::map<std::string, T> result;
        // Files written by this program list keys in order, so the hint makes each insert O(1).
        value.forEachMember([&](std::string_view key, JsonValue element) {
            result.emplace_hint(result.end(), key, Decoder<T>::decode(element));
        });
        return result;
    }
};

void requireObject(JsonValue value, const char* record);

// The value under a required key.
template <typename T> T required(JsonValue object, const char* key)
{
    const auto found = object.find(key);
    if (!found)
        throw DecodeError(std::string("missing key \"") + key + "\"");
    try {
        return Decoder<T>::decode(*found);
    } catch (const DecodeError& error) {
        throw DecodeError(std::string(key) + ": " + error.what());
    }
}

// The value under an optional key; a missing key and JSON null are both absent.
template <typename T> std::optional<T> optional(JsonValue object, const char* key)
{
    const auto found = object.find(key);
    if (!found || found->kind() == JsonValue::Kind::Null)
        return std::nullopt;
    try {
        return Decoder<T>::decode(*found);
    } catch (const DecodeError& error) {
        throw DecodeError(std::string(key) + ": " + error.what());
    }
}

// A record, or a list or map of them, from the UTF-8 JSON text of a page script. Throws
// DecodeError for text that is not JSON or not of that shape.
template <typename T> T decodeText(std::string_view text)
{
    // A page's result is untrusted: records nest a few levels, and no page lists megabytes.
    constexpr std::size_t maxDepth = 64;
    constexpr std::size_t maxBytes = 16 * 1024 * 1024;
    if (text.size() > maxBytes)
        throw DecodeError("text too large");
    return decode<T>(JsonDocument::parse(std::string(text), maxDepth).root());
}

} // namespace vantory::codec
