// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/UnicodeText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/stringpiece.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace vantory::UnicodeText {

namespace {

icu::StringPiece piece(std::string_view text)
{
    return icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size()));
}

// ICU maps the C and POSIX locales to en_US_POSIX, whose collation is plain ASCII order
// (upper case before lower case, digits one by one); the root collation keeps the order
// case-insensitive and numeric there.
icu::Locale collationLocale()
{
    const icu::Locale& current = icu::Locale::getDefault();
    std::string name = current.getBaseName();
    for (char& character : name)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    constexpr std::array<std::string_view, 4> posixNames{"", "c", "posix", "en_us_posix"};
    for (std::string_view posixName : posixNames) {
        if (name == posixName)
            return icu::Locale::getRoot();
    }
    return current;
}

std::unique_ptr<icu::Collator> makeCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator{icu::Collator::createInstance(collationLocale(), status)};
    if (U_FAILURE(status))
        return nullptr;
    collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    collator->setStrength(icu::Collator::SECONDARY);
    if (U_FAILURE(status))
        return nullptr;
    return collator;
}

// Collator::compare and getSortKey are const and safe to share between threads.
const icu::Collator* sharedCollator()
{
    static const std::unique_ptr<icu::Collator> collator = makeCollator();
    return collator.get();
}

} // namespace

Utf8Sequence sequenceAt(std::string_view text, std::size_t offset)
{
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(text.size() - offset, 4));
    std::int32_t next = 0;
    UChar32 character;
    U8_NEXT(text.data() + offset, next, length, character);
    return {static_cast<std::size_t>(next), character >= 0};
}

std::string_view trimmed(std::string_view text)
{
    const char* bytes = text.data();
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t start = 0;
    while (start < length) {
        std::int32_t next = start;
        UChar32 character;
        U8_NEXT(bytes, next, length, character);
        if (character < 0 || !u_isUWhiteSpace(character))
            break;
        start = next;
    }
    std::int32_t end = length;
    while (end > start) {
        std::int32_t previous = end;
        UChar32 character;
        U8_PREV(bytes, start, previous, character);
        if (character < 0 || !u_isUWhiteSpace(character))
            break;
        end = previous;
    }
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

std::string lowercased(std::string_view text)
{
    std::string result;
    icu::UnicodeString::fromUTF8(piece(text)).toLower(icu::Locale::getRoot()).toUTF8String(result);
    return result;
}

std::size_t utf16Length(std::string_view text)
{
    return static_cast<std::size_t>(icu::UnicodeString::fromUTF8(piece(text)).length());
}

int compareLocalized(std::string_view left, std::string_view right)
{
    const icu::Collator* collator = sharedCollator();
    if (!collator)
        return left.compare(right);

    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = collator->compareUTF8(piece(left), piece(right), status);
    if (U_FAILURE(status))
        return left.compare(right);
    return static_cast<int>(result);
}

std::string collationKey(std::string_view text)
{
    const icu::Collator* collator = sharedCollator();
    // Without a collator compareLocalized compares the bytes themselves.
    if (!collator)
        return std::string(text);
    const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(piece(text));
    std::string key(std::max<std::size_t>(32, 2 * text.size()), '\0');
    for (;;) {
        // The length includes the key's terminating zero byte, which every key ends with alike.
        const std::int32_t length = collator->getSortKey(
            unicode, reinterpret_cast<std::uint8_t*>(key.data()), static_cast<std::int32_t>(key.size()));
        if (length <= 0)
            return std::string(text);
        if (static_cast<std::size_t>(length) <= key.size()) {
            key.resize(static_cast<std::size_t>(length) - 1);
            return key;
        }
        key.resize(static_cast<std::size_t>(length));
    }
}

} // namespace vantory::UnicodeText
