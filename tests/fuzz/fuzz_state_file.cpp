#include "model/JsonDocument.h"
#include "model/StateFile.h"

#include <bit>
#include <cstdlib>

namespace {

using vantory::codec::JsonDocument;
using vantory::codec::JsonValue;

// The value as a text that tells every kind, bit and key apart, but for one allowance: "-0" is a
// signed zero to nlohmann and an unsigned one to the fast reader, one number.
std::string dump(const JsonValue& value)
{
    using Kind = JsonValue::Kind;
    std::string out(1, static_cast<char>('a' + static_cast<int>(value.kind())));
    const auto number = [&out](auto n) { return n == 0 ? std::string("0;") : out + std::to_string(n) + ';'; };
    switch (value.kind()) {
    case Kind::Boolean:
        return out + (value.boolean() ? '1' : '0');
    case Kind::Integer:
        return number(value.integer());
    case Kind::Unsigned:
        return number(value.unsignedInteger());
    case Kind::Float:
        return out + std::to_string(std::bit_cast<std::uint64_t>(value.floating())) + ';';
    case Kind::String:
        return out + std::to_string(value.string().size()) + ':' + std::string(value.string());
    default:
        value.forEachElement([&out](JsonValue element) { out += dump(element); });
        value.forEachMember([&out](std::string_view key, JsonValue member) {
            out += std::to_string(key.size()) + ':' + std::string(key) + dump(member);
        });
        return out + '.';
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
    const auto read = [&text](auto reader) -> std::string {
        try {
            return dump(reader(text).root());
        } catch (const std::exception&) {
            return "failed";
        }
    };
    if (read(&JsonDocument::parseFile) != read([](const std::string& t) { return JsonDocument::parseText(t); }))
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
