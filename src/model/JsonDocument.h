// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantory::codec {

class JsonDocument;

// One value of a JsonDocument, valid while the document lives. Its kinds are nlohmann's, so
// the records' decoders apply the same type rules to a parsed file and to an nlohmann::json.
class JsonValue {
public:
    // Other stands for the binary values of nlohmann's binary formats, which JSON text never
    // holds; no decoder accepts them.
    enum class Kind : std::uint8_t { Null, Boolean, Integer, Unsigned, Float, String, Array, Object, Other };

    Kind kind() const;
    bool boolean() const;
    std::int64_t integer() const;
    std::uint64_t unsignedInteger() const;
    double floating() const;
    std::string_view string() const;
    // The number of elements of an array, or of members of an object (a repeated key each time).
    std::size_t size() const;

    // The member of an object under key; none for a missing key or a value that is no object.
    std::optional<JsonValue> find(std::string_view key) const;
    // visit(JsonValue) for each element of an array, in order.
    template <typename Visit> void forEachElement(Visit visit) const;
    // visit(std::string_view key, JsonValue value) for each member of an object.
    template <typename Visit> void forEachMember(Visit visit) const;

private:
    friend class JsonDocument;
    JsonValue(const JsonDocument& document, std::uint32_t index);

    const JsonDocument* document_;
    std::uint32_t index_;
};

// A parsed JSON text as one flat array of nodes and one buffer of string bytes: far fewer
// allocations than an nlohmann::json tree, which is what makes loading a large state file fast.
class JsonDocument {
public:
    // Parses with nlohmann's SAX parser, so the grammar, the UTF-8 checks and the number rules
    // (integers, unsigned integers, floats, overflow) are exactly those of nlohmann::json::parse.
    // Throws DecodeError when the text is not one JSON value or holds a value nested deeper than
    // maxDepth (0: any depth).
    static JsonDocument parseText(std::string_view text, std::size_t maxDepth = 0);
    // The same as parseText(text), several times faster for a whole file's text: simdjson reads it, and a
    // text that simdjson refuses (numbers beyond its range, nesting beyond its 1024 levels) is read
    // again by parseText, so values and failures stay nlohmann's; only "-0" comes out as an
    // unsigned rather than a signed zero. A text with paddingRoom bytes of spare capacity is not
    // copied.
    static JsonDocument parseFast(const std::string& text);
    static constexpr std::size_t paddingRoom = 64;

    JsonValue root() const { return {*this, 0}; }

private:
    friend class JsonValue;
    class Builder;

    // Members of an object follow it as key and value; elements of an array follow it.
    struct Node {
        JsonValue::Kind kind = JsonValue::Kind::Null;
        // A key that is repeated later in its object: as in nlohmann::json, the last one counts.
        bool shadowed = false;
        // Strings: their length; arrays and objects: their number of elements or members.
        std::uint32_t size = 0;
        // Booleans and numbers: their bits; strings: their offset in strings_; arrays and
        // objects: the index just past their last node.
        std::uint64_t payload = 0;
    };

    JsonDocument() = default;

    // The index of the node after the value at index, with everything inside it.
    std::uint32_t after(std::uint32_t index) const;
    std::string_view text(std::uint32_t index) const;

    std::vector<Node> nodes_;
    std::string strings_;
};

inline JsonValue::JsonValue(const JsonDocument& document, std::uint32_t index)
    : document_(&document)
    , index_(index)
{
}

inline JsonValue::Kind JsonValue::kind() const
{
    return document_->nodes_[index_].kind;
}

inline std::string_view JsonValue::string() const
{
    return document_->text(index_);
}

inline std::size_t JsonValue::size() const
{
    return document_->nodes_[index_].size;
}

inline std::string_view JsonDocument::text(std::uint32_t index) const
{
    return {strings_.data() + nodes_[index].payload, nodes_[index].size};
}

inline std::uint32_t JsonDocument::after(std::uint32_t index) const
{
    const Node& node = nodes_[index];
    const bool container = node.kind == JsonValue::Kind::Array || node.kind == JsonValue::Kind::Object;
    return container ? static_cast<std::uint32_t>(node.payload) : index + 1;
}

template <typename Visit> void JsonValue::forEachElement(Visit visit) const
{
    if (kind() != Kind::Array)
        return;
    const auto end = static_cast<std::uint32_t>(document_->nodes_[index_].payload);
    for (std::uint32_t element = index_ + 1; element < end; element = document_->after(element))
        visit(JsonValue(*document_, element));
}

template <typename Visit> void JsonValue::forEachMember(Visit visit) const
{
    if (kind() != Kind::Object)
        return;
    const auto end = static_cast<std::uint32_t>(document_->nodes_[index_].payload);
    for (std::uint32_t key = index_ + 1; key < end; key = document_->after(key + 1)) {
        if (!document_->nodes_[key].shadowed)
            visit(document_->text(key), JsonValue(*document_, key + 1));
    }
}

} // namespace vantory::codec
