// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <simdjson.h>
#include <string>
#include <string_view>
#include <vector>

namespace vantory::codec {

// One value of a JsonDocument, valid while the document lives. Its kinds are nlohmann's, so
// the records' decoders apply the same type rules to a parsed file and to an nlohmann::json.
class JsonValue {
public:
    enum class Kind : std::uint8_t { Null, Boolean, Integer, Unsigned, Float, String, Array, Object };

    Kind kind() const;
    bool boolean() const { return element_.get_bool().value_unsafe(); }
    std::int64_t integer() const { return element_.get_int64().value_unsafe(); }
    std::uint64_t unsignedInteger() const { return element_.get_uint64().value_unsafe(); }
    double floating() const { return element_.get_double().value_unsafe(); }
    std::string_view string() const { return element_.get_string().value_unsafe(); }
    // The number of elements of an array, or of members of an object (a repeated key each time).
    std::size_t size() const;

    // The member of an object under key, the last one where the key repeats (as in
    // nlohmann::json); none for a missing key or a value that is no object.
    std::optional<JsonValue> find(std::string_view key) const;
    // visit(JsonValue) for each element of an array, in order.
    template <typename Visit> void forEachElement(Visit visit) const;
    // visit(std::string_view key, JsonValue value) for each member of an object, in the text's
    // order; a repeated key only the last time, as in nlohmann::json.
    template <typename Visit> void forEachMember(Visit visit) const;

private:
    friend class JsonDocument;
    explicit JsonValue(simdjson::dom::element element)
        : element_(element)
    {
    }

    // For each member of an object, whether its key repeats later; empty when none does.
    std::vector<bool> shadowedMembers() const;

    simdjson::dom::element element_;
};

// A parsed JSON text. simdjson reads it, and the records are decoded straight from its document:
// no copy of the values in between, which is what makes loading a large state file fast.
class JsonDocument {
public:
    // Values and failures are nlohmann::json::parse's (grammar, UTF-8, number ranges), except
    // that "-0" is an unsigned zero. Throws DecodeError when the text is not one JSON value or
    // holds a value nested deeper than maxDepth (0: any depth). A text with paddingRoom bytes of
    // spare capacity is not copied.
    static JsonDocument parse(const std::string& text, std::size_t maxDepth = 0);
    static constexpr std::size_t paddingRoom = 64;

    JsonValue root() const { return JsonValue(root_); }

private:
    JsonDocument() = default;
    // simdjson alone; none where nlohmann may read the text otherwise: a number simdjson cannot
    // read (an integer beyond 64 bits, a double out of range) or a NUL byte in a text it refuses.
    static std::optional<JsonDocument> read(const std::string& text, std::size_t maxDepth);

    // Held by pointer: values point into its document, which must stay where it is.
    std::unique_ptr<simdjson::dom::parser> parser_;
    simdjson::dom::element root_;
};

template <typename Visit> void JsonValue::forEachElement(Visit visit) const
{
    if (kind() != Kind::Array)
        return;
    const simdjson::dom::array array = element_.get_array().value_unsafe();
    for (const simdjson::dom::element element : array)
        visit(JsonValue(element));
}

template <typename Visit> void JsonValue::forEachMember(Visit visit) const
{
    if (kind() != Kind::Object)
        return;
    const std::vector<bool> shadowed = shadowedMembers();
    const simdjson::dom::object object = element_.get_object().value_unsafe();
    std::size_t index = 0;
    for (const simdjson::dom::key_value_pair member : object) {
        if (shadowed.empty() || !shadowed[index])
            visit(member.key, JsonValue(member.value));
        ++index;
    }
}

} // namespace vantory::codec
