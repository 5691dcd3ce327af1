// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Unicode-aware text operations on UTF-8 strings, backed by ICU.
namespace vantory::UnicodeText {

// Full Unicode lower-casing (root locale).
std::string lowercased(std::string_view text);

// The text without Unicode white space (line breaks included) at either end.
std::string_view trimmed(std::string_view text);

// The UTF-8 sequence at a byte offset before the end of text: its length in bytes and whether it
// is one well-formed character. An ill-formed one spans its longest well-formed prefix, at least
// one byte: the stretch that one U+FFFD replaces.
struct Utf8Sequence {
    std::size_t length;
    bool valid;
};
Utf8Sequence sequenceAt(std::string_view text, std::size_t offset);

// Number of UTF-16 code units of the text: the unit the status line's coloured runs count in.
std::size_t utf16Length(std::string_view text);

// The localized standard comparison: case-insensitive, numbers compared by value
// ("Quiz 2" < "quiz 10"). Returns <0, 0 or >0. The collator is created once; in the C/POSIX
// locale the root collation is used so the order is the same on every machine.
int compareLocalized(std::string_view left, std::string_view right);

// The text's key under the same collation: keys compare as byte strings (std::string's own
// order) the way compareLocalized compares their texts, and are equal exactly when it returns 0.
// Computing one costs a few comparisons; comparing two costs a memcmp.
std::string collationKey(std::string_view text);

} // namespace vantory::UnicodeText
