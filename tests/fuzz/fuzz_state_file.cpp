// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/JsonDocument.h"
#include "model/StateFile.h"

#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace {

using vantory::codec::JsonDocument;
using vantory::codec::JsonValue;

// The value as nlohmann::json holds it: members by key, a repeated key's last value.
nlohmann::json tree(const JsonValue& value)
{
    using Kind = JsonValue::Kind;
    switch (value.kind()) {
    case Kind::Null:
        return nullptr;
    case Kind::Boolean:
        return value.boolean();
    case Kind::Integer:
        return value.integer();
    case Kind::Unsigned:
        return value.unsignedInteger();
    case Kind::Float:
        return value.floating();
    case Kind::String:
        return value.string();
    case Kind::Array: {
        auto array = nlohmann::json::array();
        value.forEachElement([&array](JsonValue element) { array.push_back(tree(element)); });
        return array;
    }
    case Kind::Object: {
        auto object = nlohmann::json::object();
        value.forEachMember([&object](std::string_view key, JsonValue member) { object[key] = tree(member); });
        return object;
    }
    }
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using vantory::StateFile;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto read = [&text](auto reader) -> nlohmann::json {
        try {
            return reader(text);
        } catch (const std::exception&) {
            return "failed";
        }
    };
    // Past 1,024 levels the fallback refuses a text that nlohmann reads, and the trees' own
    // recursion would only exhaust the stack.
    int depth = 0, deepest = 0;
    for (const char c : text)
        deepest = std::max(deepest, depth += c == '[' || c == '{' ? 1 : c == ']' || c == '}' ? -1 : 0);
    if (deepest <= 1024 && read([](const std::string& t) {
            return tree(JsonDocument::parse(t).root());
        }) != read([](const std::string& t) { return nlohmann::json::parse(t); }))
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
