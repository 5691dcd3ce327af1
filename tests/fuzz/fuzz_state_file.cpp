#include "model/JsonDocument.h"
#include "model/StateFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using vantory::codec::JsonDocument;
using vantory::codec::JsonValue;

std::vector<JsonValue> children(const JsonValue& value)
{
    std::vector<JsonValue> result;
    value.forEachElement([&](JsonValue element) { result.push_back(element); });
    value.forEachMember([&](std::string_view, JsonValue member) { result.push_back(member); });
    return result;
}

std::vector<std::string_view> keys(const JsonValue& value)
{
    std::vector<std::string_view> result;
    value.forEachMember([&](std::string_view key, JsonValue) { result.push_back(key); });
    return result;
}

bool isInteger(const JsonValue& value)
{
    return value.kind() == JsonValue::Kind::Integer || value.kind() == JsonValue::Kind::Unsigned;
}

bool same(const JsonValue& a, const JsonValue& b)
{
    // "-0" is a signed zero to nlohmann and an unsigned one to the fast reader: one number.
    if (isInteger(a) && isInteger(b) && a.kind() != b.kind())
        return a.unsignedInteger() == 0 && b.unsignedInteger() == 0;
    if (a.kind() != b.kind())
        return false;
    switch (a.kind()) {
    case JsonValue::Kind::Boolean:
        return a.boolean() == b.boolean();
    case JsonValue::Kind::Integer:
        return a.integer() == b.integer();
    case JsonValue::Kind::Unsigned:
        return a.unsignedInteger() == b.unsignedInteger();
    case JsonValue::Kind::Float: {
        const double x = a.floating();
        const double y = b.floating();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    case JsonValue::Kind::String:
        return a.string() == b.string();
    case JsonValue::Kind::Array:
    case JsonValue::Kind::Object: {
        const auto left = children(a);
        const auto right = children(b);
        if (left.size() != right.size() || keys(a) != keys(b))
            return false;
        for (std::size_t index = 0; index < left.size(); ++index) {
            if (!same(left[index], right[index]))
                return false;
        }
        return true;
    }
    default:
        return true;
    }
}

// The fast reader of state files must read every text as nlohmann's reader does: the same value
// or a failure for both.
void compareReaders(const std::string& text)
{
    std::optional<JsonDocument> fast;
    std::optional<JsonDocument> reference;
    try {
        fast = JsonDocument::parseFile(text);
    } catch (const std::exception&) {
    }
    try {
        reference = JsonDocument::parseText(text);
    } catch (const std::exception&) {
    }
    if (fast.has_value() != reference.has_value() || (fast && !same(fast->root(), reference->root())))
        std::abort();
}

} // namespace

// A state file is read back from disk, where anything may have been written; what decodes must
// survive its own encoding unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using vantory::StateFile;
    const std::string text(reinterpret_cast<const char*>(data), size);
    compareReaders(text);
    vantory::Database database;
    try {
        database = StateFile::decode(text);
    } catch (const std::exception&) {
        return 0;
    }
    if (!(StateFile::decode(StateFile::encode(database)) == database))
        std::abort();
    return 0;
}
