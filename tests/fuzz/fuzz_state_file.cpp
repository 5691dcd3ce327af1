#include "model/JsonDocument.h"
#include "model/StateFile.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using vantory::codec::JsonDocument;
using vantory::codec::JsonValue;

// The elements of an array (with empty keys) or the members of an object.
std::vector<std::pair<std::string_view, JsonValue>> children(const JsonValue& value)
{
    std::vector<std::pair<std::string_view, JsonValue>> result;
    value.forEachElement([&](JsonValue element) { result.emplace_back(std::string_view(), element); });
    value.forEachMember([&](std::string_view key, JsonValue member) { result.emplace_back(key, member); });
    return result;
}

bool same(const JsonValue& a, const JsonValue& b)
{
    using Kind = JsonValue::Kind;
    const auto integer = [](const JsonValue& v) { return v.kind() == Kind::Integer || v.kind() == Kind::Unsigned; };
    // "-0" is a signed zero to nlohmann and an unsigned one to the fast reader: one number.
    if (a.kind() != b.kind())
        return integer(a) && integer(b) && a.unsignedInteger() == 0 && b.unsignedInteger() == 0;
    switch (a.kind()) {
    case Kind::Boolean:
        return a.boolean() == b.boolean();
    case Kind::Integer:
        return a.integer() == b.integer();
    case Kind::Unsigned:
        return a.unsignedInteger() == b.unsignedInteger();
    case Kind::Float:
        return std::bit_cast<std::uint64_t>(a.floating()) == std::bit_cast<std::uint64_t>(b.floating());
    case Kind::String:
        return a.string() == b.string();
    default: {
        const auto left = children(a), right = children(b);
        return std::equal(left.begin(), left.end(), right.begin(), right.end(),
            [](const auto& x, const auto& y) { return x.first == y.first && same(x.second, y.second); });
    }
    }
}

} // namespace

// A state file is read back from disk, where anything may have been written. The fast reader must
// read every text as nlohmann's reader does (the same value or a failure for both), and what decodes
// must survive its own encoding unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using vantory::StateFile;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto parse = [&text](auto reader) -> std::optional<JsonDocument> {
        try {
            return reader(text);
        } catch (const std::exception&) {
            return std::nullopt;
        }
    };
    const auto fast = parse(&JsonDocument::parseFile);
    const auto reference = parse([](const std::string& t) { return JsonDocument::parseText(t); });
    if (fast.has_value() != reference.has_value() || (fast && !same(fast->root(), reference->root())))
        std::abort();
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
