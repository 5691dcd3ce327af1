// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/JsonDocument.h"

#include "model/JsonDecoding.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace vantory::codec {

namespace {

// Beyond this a text that simdjson cannot read is refused rather than read by nlohmann, whose
// printing recurses once per level.
constexpr std::size_t fallbackDepth = 1024;

} // namespace

JsonValue::Kind JsonValue::kind() const
{
    using Type = simdjson::dom::element_type;
    switch (element_.type()) {
    case Type::ARRAY:
        return Kind::Array;
    case Type::OBJECT:
        return Kind::Object;
    case Type::INT64:
        // nlohmann reads every integer without a minus sign as unsigned.
        return element_.get_int64().value_unsafe() < 0 ? Kind::Integer : Kind::Unsigned;
    case Type::UINT64:
        return Kind::Unsigned;
    case Type::DOUBLE:
        return Kind::Float;
    case Type::STRING:
        return Kind::String;
    case Type::BOOL:
        return Kind::Boolean;
    case Type::NULL_VALUE:
        break;
    }
    return Kind::Null;
}

std::size_t JsonValue::size() const
{
    switch (kind()) {
    case Kind::Array: {
        const simdjson::dom::array array = element_.get_array().value_unsafe();
        return array.size();
    }
    case Kind::Object: {
        const simdjson::dom::object object = element_.get_object().value_unsafe();
        return object.size();
    }
    default:
        return 0;
    }
}

std::optional<JsonValue> JsonValue::find(std::string_view key) const
{
    if (kind() != Kind::Object)
        return std::nullopt;
    std::optional<JsonValue> found;
    const simdjson::dom::object object = element_.get_object().value_unsafe();
    for (const simdjson::dom::key_value_pair member : object) {
        if (member.key == key)
            found = JsonValue(member.value);
    }
    return found;
}

std::vector<bool> JsonValue::shadowedMembers() const
{
    // Keys in ascending order, as every file this program writes has them, cannot repeat; only
    // other objects are sorted to find repeats.
    const simdjson::dom::object object = element_.get_object().value_unsafe();
    std::vector<std::pair<std::string_view, std::size_t>> keys;
    bool ascending = true;
    for (const simdjson::dom::key_value_pair member : object) {
        ascending = ascending && (keys.empty() || keys.back().first < member.key);
        keys.emplace_back(member.key, keys.size());
    }
    if (ascending)
        return {};
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<bool> shadowed(keys.size());
    for (std::size_t i = 0; i + 1 < keys.size(); ++i)
        shadowed[keys[i].second] = keys[i].first == keys[i + 1].first;
    return shadowed;
}

JsonDocument JsonDocument::parse(const std::string& text, std::size_t maxDepth)
{
    if (auto document = read(text, maxDepth))
        return std::move(*document);
    // Two things simdjson refuses and nlohmann reads: integers beyond 64 bits, which nlohmann
    // holds as doubles, and a NUL byte outside strings, where nlohmann's input ends. nlohmann's
    // print of its value is a text simdjson reads the same.
    const std::size_t depthLimit = maxDepth != 0 ? maxDepth : fallbackDepth;
    const auto levels = [depthLimit](int level, nlohmann::json::parse_event_t, nlohmann::json&) {
        if (static_cast<std::size_t>(level) > depthLimit)
            throw DecodeError("nested too deeply");
        return true;
    };
    std::string printed;
    try {
        printed = nlohmann::json::parse(text, levels).dump();
    } catch (const nlohmann::json::exception& error) {
        throw DecodeError(error.what());
    }
    if (auto document = read(printed, maxDepth))
        return std::move(*document);
    throw DecodeError("a number out of range");
}

std::optional<JsonDocument> JsonDocument::read(const std::string& text, std::size_t maxDepth)
{
    // nlohmann skips a byte order mark; simdjson leaves that to its caller.
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    const std::size_t start = text.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;
    static_assert(paddingRoom >= simdjson::SIMDJSON_PADDING);
    // simdjson keeps one entry per open level; a text cannot nest deeper than half its bytes.
    const std::size_t depth = maxDepth != 0 ? maxDepth : text.size() / 2 + 1;

    JsonDocument document;
    document.parser_ = std::make_unique<simdjson::dom::parser>();
    if (const auto error = document.parser_->allocate(text.size() - start, depth); error != simdjson::SUCCESS)
        throw DecodeError(simdjson::error_message(error));
    const auto parsed = document.parser_->parse(
        text.data() + start, text.size() - start, text.capacity() - text.size() < simdjson::SIMDJSON_PADDING);
    if (parsed.error() == simdjson::NUMBER_ERROR
        || (parsed.error() != simdjson::SUCCESS && text.find('\0') != std::string::npos))
        return std::nullopt;
    if (parsed.error() != simdjson::SUCCESS)
        throw DecodeError(simdjson::error_message(parsed.error()));
    document.root_ = parsed.value_unsafe();
    return document;
}

} // namespace vantory::codec
