// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/JsonDocument.h"

#include "model/JsonDecoding.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <nlohmann/json.hpp>
#include <simdjson.h>

namespace vantory::codec {

using Kind = JsonValue::Kind;

// Appends nodes as nlohmann's SAX parser reports values.
class JsonDocument::Builder final : public nlohmann::json_sax<nlohmann::json> {
public:
    // maxDepth 0 admits any nesting: the parser keeps no stack of its own per level.
    explicit Builder(JsonDocument& document, std::size_t maxDepth = 0)
        : document_(document)
        , maxDepth_(maxDepth)
    {
    }

    bool null() override { return addValue(Kind::Null, 0); }
    bool boolean(bool value) override { return addValue(Kind::Boolean, value); }
    bool number_integer(number_integer_t value) override
    {
        return addValue(Kind::Integer, std::bit_cast<std::uint64_t>(value));
    }
    bool number_unsigned(number_unsigned_t value) override { return addValue(Kind::Unsigned, value); }
    bool number_float(number_float_t value, const string_t&) override
    {
        return addValue(Kind::Float, std::bit_cast<std::uint64_t>(value));
    }
    bool string(string_t& value) override { return addString(value); }
    bool binary(binary_t&) override { return addValue(Kind::Other, 0); }
    bool start_object(std::size_t) override { return open(Kind::Object); }
    bool key(string_t& value) override { return addKey(value); }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(Kind::Array); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) override
    {
        throw DecodeError(error.what());
    }

private:
    std::vector<Node>& nodes() { return document_.nodes_; }

    // Node indices and string lengths are 32 bits wide.
    void checkCapacity(std::size_t stringLength) const
    {
        constexpr std::size_t limit = std::numeric_limits<std::uint32_t>::max();
        if (document_.nodes_.size() >= limit || stringLength >= limit)
            throw DecodeError("JSON text too large");
    }

    bool addValue(Kind kind, std::uint64_t payload)
    {
        checkCapacity(0);
        if (!open_.empty() && nodes()[open_.back()].kind == Kind::Array)
            ++nodes()[open_.back()].size;
        nodes().push_back({.kind = kind, .payload = payload});
        return true;
    }

    bool addString(std::string_view text)
    {
        checkCapacity(text.size());
        addValue(Kind::String, document_.strings_.size());
        nodes().back().size = static_cast<std::uint32_t>(text.size());
        document_.strings_.append(text);
        return true;
    }

    bool addKey(std::string_view text)
    {
        checkCapacity(text.size());
        ++nodes()[open_.back()].size;
        nodes().push_back({.kind = Kind::String,
            .size = static_cast<std::uint32_t>(text.size()),
            .payload = document_.strings_.size()});
        document_.strings_.append(text);
        return true;
    }

    bool open(Kind kind)
    {
        if (maxDepth_ != 0 && open_.size() >= maxDepth_)
            throw DecodeError("nested too deeply");
        addValue(kind, 0);
        open_.push_back(static_cast<std::uint32_t>(nodes().size() - 1));
        return true;
    }

    bool close()
    {
        const std::uint32_t container = open_.back();
        open_.pop_back();
        nodes()[container].payload = nodes().size();
        if (nodes()[container].kind == Kind::Object)
            shadowRepeatedKeys(container);
        return true;
    }

    // Marks every key that the same object repeats later, so lookups and iteration see the last
    // one only. Keys in ascending order, as every file this program writes has them, cannot
    // repeat; only other objects are sorted to find repeats.
    void shadowRepeatedKeys(std::uint32_t object)
    {
        const std::uint32_t end = document_.after(object);
        bool ascending = true;
        for (std::uint32_t key = object + 1, next = 0; key < end && ascending; key = next) {
            next = document_.after(key + 1);
            ascending = next >= end || document_.text(key) < document_.text(next);
        }
        if (ascending)
            return;
        keys_.clear();
        for (std::uint32_t key = object + 1; key < end; key = document_.after(key + 1))
            keys_.push_back({document_.text(key), key});
        std::stable_sort(keys_.begin(), keys_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i + 1 < keys_.size(); ++i) {
            if (keys_[i].first == keys_[i + 1].first)
                nodes()[keys_[i].second].shadowed = true;
        }
    }

public:
    // Appends a value simdjson parsed; false where nlohmann would read it differently.
    bool add(simdjson::dom::element element)
    {
        using Type = simdjson::dom::element_type;
        switch (element.type()) {
        case Type::ARRAY: {
            const simdjson::dom::array array = element.get_array().value_unsafe();
            open(Kind::Array);
            for (const simdjson::dom::element child : array) {
                if (!add(child))
                    return false;
            }
            return close();
        }
        case Type::OBJECT: {
            const simdjson::dom::object object = element.get_object().value_unsafe();
            open(Kind::Object);
            for (const simdjson::dom::key_value_pair member : object) {
                addKey(member.key);
                if (!add(member.value))
                    return false;
            }
            return close();
        }
        case Type::INT64: {
            // nlohmann reads every integer without a minus sign as unsigned. "-0" is the one it
            // reads as a signed zero, which cannot be told apart here: it becomes an unsigned
            // zero, the same number to every decoder.
            const std::int64_t value = element.get_int64().value_unsafe();
            return value < 0 ? addValue(Kind::Integer, std::bit_cast<std::uint64_t>(value))
                             : addValue(Kind::Unsigned, static_cast<std::uint64_t>(value));
        }
        case Type::UINT64:
            return addValue(Kind::Unsigned, element.get_uint64().value_unsafe());
        case Type::DOUBLE:
            return addValue(Kind::Float, std::bit_cast<std::uint64_t>(element.get_double().value_unsafe()));
        case Type::STRING:
            return addString(element.get_string().value_unsafe());
        case Type::BOOL:
            return addValue(Kind::Boolean, element.get_bool().value_unsafe());
        case Type::NULL_VALUE:
            return addValue(Kind::Null, 0);
        }
        return false;
    }

private:
    JsonDocument& document_;
    std::size_t maxDepth_;
    std::vector<std::uint32_t> open_; // arrays and objects being filled
    std::vector<std::pair<std::string_view, std::uint32_t>> keys_; // scratch for shadowRepeatedKeys
};

JsonDocument JsonDocument::parseText(std::string_view text, std::size_t maxDepth)
{
    JsonDocument document;
    document.nodes_.reserve(text.size() / 12);
    document.strings_.reserve(text.size());
    Builder builder(document, maxDepth);
    nlohmann::json::sax_parse(text, &builder);
    return document;
}

JsonDocument JsonDocument::parseFast(const std::string& text)
{
    // nlohmann skips a byte order mark; simdjson leaves that to its caller.
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    const std::size_t start = text.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;
    static_assert(paddingRoom >= simdjson::SIMDJSON_PADDING);
    simdjson::dom::parser parser;
    const auto parsed = parser.parse(
        text.data() + start, text.size() - start, text.capacity() - text.size() < simdjson::SIMDJSON_PADDING);
    if (parsed.error() == simdjson::SUCCESS) {
        JsonDocument document;
        document.nodes_.reserve(text.size() / 12);
        document.strings_.reserve(text.size() / 2);
        Builder builder(document);
        if (builder.add(parsed.value_unsafe()))
            return document;
    }
    return parseText(text);
}

bool JsonValue::boolean() const
{
    return document_->nodes_[index_].payload != 0;
}

std::int64_t JsonValue::integer() const
{
    return std::bit_cast<std::int64_t>(document_->nodes_[index_].payload);
}

std::uint64_t JsonValue::unsignedInteger() const
{
    return document_->nodes_[index_].payload;
}

double JsonValue::floating() const
{
    return std::bit_cast<double>(document_->nodes_[index_].payload);
}

std::optional<JsonValue> JsonValue::find(std::string_view key) const
{
    if (kind() != Kind::Object)
        return std::nullopt;
    const auto end = static_cast<std::uint32_t>(document_->nodes_[index_].payload);
    for (std::uint32_t member = index_ + 1; member < end; member = document_->after(member + 1)) {
        if (!document_->nodes_[member].shadowed && document_->text(member) == key)
            return JsonValue(*document_, member + 1);
    }
    return std::nullopt;
}

} // namespace vantory::codec
