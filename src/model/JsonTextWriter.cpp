// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/JsonTextWriter.h"

#include "model/UnicodeText.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
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

void appendEscaped(std::string& out, std::uint8_t byte)
{
    static constexpr std::pair<char, std::string_view> shortEscapes[]
        = {{'"', "\\\""}, {'\\', "\\\\"}, {'\b', "\\b"}, {'\f', "\\f"}, {'\n', "\\n"}, {'\r', "\\r"}, {'\t', "\\t"}};
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
        // A stray invalid byte from a page must not stop all saving: it is replaced, as nlohmann
        // replaces it.
        const UnicodeText::Utf8Sequence sequence = UnicodeText::sequenceAt(text, i);
        if (sequence.valid)
            out.append(text.data() + i, sequence.length);
        else
            out += replacementCharacter;
        i += sequence.length;
    }
    out += '"';
}

// The shortest digits that read back as the value, laid out as nlohmann's dump() lays them out:
// positional with a fraction part when the decimal point falls within 15 digits ("5.0", "0.0012",
// "780000000.0"), else scientific with a signed two-digit exponent ("1e+16", "1.5e-05").
void appendShortest(std::string& text, double value)
{
    std::array<char, 40> buffer{};
    const char* end
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific).ptr;
    std::string_view scientific(buffer.data(), static_cast<std::size_t>(end - buffer.data())); // "-1.25e+02"
    if (scientific.front() == '-') {
        text += '-';
        scientific.remove_prefix(1);
    }
    const std::size_t e = scientific.find('e');
    int exponent = 0;
    std::from_chars(
        scientific.data() + e + (scientific[e + 1] == '+' ? 2 : 1), scientific.data() + scientific.size(), exponent);
    std::array<char, 24> digitBuffer{};
    const auto digitsEnd = std::remove_copy(scientific.begin(), scientific.begin() + e, digitBuffer.begin(), '.');
    const std::string_view digits(digitBuffer.data(), static_cast<std::size_t>(digitsEnd - digitBuffer.begin()));

    const int count = static_cast<int>(digits.size());
    const int point = exponent + 1; // digits before the decimal point
    constexpr int maxPoint = 15, minPoint = -4;
    if (count <= point && point <= maxPoint) {
        text += digits;
        text.append(static_cast<std::size_t>(point - count), '0');
        text += ".0";
    } else if (0 < point && point <= maxPoint) {
        text += digits.substr(0, static_cast<std::size_t>(point));
        text += '.';
        text += digits.substr(static_cast<std::size_t>(point));
    } else if (minPoint < point && point <= 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-point), '0');
        text += digits;
    } else {
        text += digits.front();
        if (count > 1) {
            text += '.';
            text += digits.substr(1);
        }
        const int shown = point - 1;
        text += shown < 0 ? "e-" : "e+";
        if (std::abs(shown) < 10)
            text += '0';
        text += std::to_string(std::abs(shown));
    }
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
    // nlohmann would print null, which no number field reads back: a file with one would be
    // refused at the next start. Failing the save keeps the old file instead.
    if (!std::isfinite(value))
        throw std::domain_error("a number that is not finite");
    beginValue();
    appendShortest(text_, value);
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
