#include "model/JsonTextWriter.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <utility>

namespace vantory::codec {

namespace {

constexpr std::size_t indentStep = 2;
constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

// Bytes copied as they are: printable ASCII except the two that JSON escapes. 0x7F is not
// escaped either, as nlohmann leaves it.
constexpr std::array<bool, 256> plainBytes = [] {
    std::array<bool, 256> plain{};
    for (std::size_t byte = 0x20; byte < 0x80; ++byte)
        plain[byte] = byte != '"' && byte != '\\';
    return plain;
}();

// The length of the well-formed UTF-8 sequence that starts bytes (whose first byte is 0x80 or
// more), or 0 when it is ill-formed. Then invalidLength is the length of its longest well-formed
// prefix, at least 1: nlohmann replaces that much by one U+FFFD and reads on after it.
std::size_t sequenceLength(std::string_view bytes, std::size_t& invalidLength)
{
    const auto lead = static_cast<std::uint8_t>(bytes[0]);
    std::size_t length = 0;
    std::uint8_t low = 0x80; // the allowed range of the second byte; later ones are 80..BF
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        invalidLength = 1;
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const bool inRange = i < bytes.size() && static_cast<std::uint8_t>(bytes[i]) >= low &&
                             static_cast<std::uint8_t>(bytes[i]) <= high;
        if (!inRange) {
            invalidLength = i;
            return 0;
        }
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

void appendEscaped(std::string& out, std::uint8_t byte)
{
    static constexpr std::pair<char, std::string_view> shortEscapes[] = {
        {'"', "\\\""}, {'\\', "\\\\"}, {'\b', "\\b"}, {'\f', "\\f"}, {'\n', "\\n"}, {'\r', "\\r"}, {'\t', "\\t"}};
    for (const auto& [character, escape] : shortEscapes) {
        if (character == static_cast<char>(byte)) {
            out += escape;
            return;
        }
    }
    // Other control characters as nlohmann writes them, with lower-case hexadecimal digits.
    static constexpr char digits[] = "0123456789abcdef";
    const char escape[] = {'\\', 'u', '0', '0', digits[byte >> 4], digits[byte & 0x0F]};
    out.append(escape, sizeof escape);
}

void appendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t runStart = i;
        while (i < text.size() && plainBytes[static_cast<std::uint8_t>(text[i])])
            ++i;
        out.append(text.data() + runStart, i - runStart);
        if (i == text.size())
            break;
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x80) {
            appendEscaped(out, byte);
            ++i;
            continue;
        }
        // A stray invalid byte from a page must not stop all saving: it is replaced instead.
        std::size_t invalidLength = 0;
        if (const std::size_t length = sequenceLength(text.substr(i), invalidLength); length > 0) {
            out.append(text.data() + i, length);
            i += length;
        } else {
            out += replacementCharacter;
            i += invalidLength;
        }
    }
    out += '"';
}

} // namespace

JsonTextWriter::JsonTextWriter(std::string& text)
    : text_(text)
{
}

void JsonTextWriter::beginObject()
{
    beginValue();
    text_ += '{';
    open_.push_back({.isArray = false});
}

void JsonTextWriter::endObject()
{
    close('}');
}

void JsonTextWriter::beginArray()
{
    beginValue();
    text_ += '[';
    open_.push_back({.isArray = true});
}

void JsonTextWriter::endArray()
{
    close(']');
}

void JsonTextWriter::key(std::string_view name)
{
    Container& object = open_.back();
    assert(!object.isArray);
    assert(object.empty || object.lastKey < name);
    text_ += object.empty ? "\n" : ",\n";
    object.empty = false;
    object.lastKey = name;
    text_.append(open_.size() * indentStep, ' ');
    appendQuoted(text_, name);
    text_ += ": ";
}

void JsonTextWriter::string(std::string_view text)
{
    beginValue();
    appendQuoted(text_, text);
}

void JsonTextWriter::boolean(bool value)
{
    beginValue();
    text_ += value ? "true" : "false";
}

void JsonTextWriter::integer(std::int64_t value)
{
    beginValue();
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    text_.append(digits.data(), end);
}

void JsonTextWriter::number(double value)
{
    beginValue();
    if (!std::isfinite(value)) {
        text_ += "null";
        return;
    }
    // nlohmann's own formatter, so the digits are the ones dump() prints ("5.0", "1e+16").
    std::array<char, 64> digits{};
    char* end = nlohmann::detail::to_chars(digits.data(), digits.data() + digits.size(), value);
    text_.append(digits.data(), end);
}

void JsonTextWriter::beginValue()
{
    if (open_.empty() || !open_.back().isArray)
        return;
    text_ += open_.back().empty ? "\n" : ",\n";
    open_.back().empty = false;
    text_.append(open_.size() * indentStep, ' ');
}

void JsonTextWriter::close(char bracket)
{
    const bool empty = open_.back().empty;
    open_.pop_back();
    if (!empty) {
        text_ += '\n';
        text_.append(open_.size() * indentStep, ' ');
    }
    text_ += bracket;
}

} // namespace vantory::codec
