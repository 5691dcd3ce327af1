// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/JsonDocument.h"
#include "model/StateFile.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace {

using vantory::codec::JsonDocument;
using vantory::codec::JsonValue;

// Appends the value as a text that tells every kind, bit and key apart, each value ended by a dot.
void dump(const JsonValue& value, std::string& out)
{
    using Kind = JsonValue::Kind;
    const Kind kind = value.kind();
    const bool integer = kind == Kind::Integer || kind == Kind::Unsigned;
    // "-0" is a signed zero to nlohmann and an unsigned one to the fast reader: one number.
    out += integer && value.unsignedInteger() == 0 ? '0' : static_cast<char>('a' + static_cast<int>(kind));
    if (kind == Kind::Boolean)
        out += value.boolean() ? '1' : '0';
    else if (integer || kind == Kind::Float)
        out += std::to_string(integer ? value.unsignedInteger() : std::bit_cast<std::uint64_t>(value.floating()));
    else if (kind == Kind::String)
        out.append(std::to_string(value.string().size())).append(1, ':').append(value.string());
    value.forEachElement([&out](JsonValue element) { dump(element, out); });
    value.forEachMember([&out](std::string_view key, JsonValue member) {
        out.append(std::to_string(key.size())).append(1, ':').append(key);
        dump(member, out);
    });
    out += '.';
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
            std::string out;
            dump(reader(text).root(), out);
            return out;
        } catch (const std::exception&) {
            return "failed";
        }
    };
    // Past simdjson's 1,024 levels both readers are nlohmann's, and dump() would only exhaust the stack.
    int depth = 0, deepest = 0;
    for (const char c : text)
        deepest = std::max(deepest, depth += c == '[' || c == '{' ? 1 : c == ']' || c == '}' ? -1 : 0);
    if (deepest <= 1024
        && read(&JsonDocument::parseFast) != read([](const std::string& t) { return JsonDocument::parseText(t); }))
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
