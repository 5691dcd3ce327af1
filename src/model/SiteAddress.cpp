// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SiteAddress.h"

#include "model/UnicodeText.h"
#include "model/Wording.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <unicode/bytestream.h>
#include <unicode/idna.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace vantory::SiteAddress {

namespace {

// No control, formatting (bidirectional marks among them) or space characters, and well-formed
// UTF-8: what an address field may hold once its ends are trimmed.
bool plainCharacters(std::string_view text)
{
    const icu::UnicodeString characters
        = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    for (std::int32_t index = 0; index < characters.length();) {
        const UChar32 character = characters.char32At(index);
        if (character == 0xFFFD || u_iscntrl(character) || u_charType(character) == U_FORMAT_CHAR
            || u_isUWhiteSpace(character))
            return false;
        index = characters.moveIndex32(index, 1);
    }
    return true;
}

std::string lowerASCII(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

// The host in its ASCII form, or empty when IDNA (UTS #46, as browsers apply it) rejects it.
std::string asciiHost(std::string_view host)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::IDNA> idna(icu::IDNA::createUTS46Instance(
        UIDNA_NONTRANSITIONAL_TO_ASCII | UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ | UIDNA_USE_STD3_RULES, status));
    if (U_FAILURE(status))
        return {};
    std::string ascii;
    icu::StringByteSink<std::string> sink(&ascii);
    icu::IDNAInfo info;
    idna->nameToASCII_UTF8(icu::StringPiece(host.data(), static_cast<std::int32_t>(host.size())), sink, info, status);
    if (U_FAILURE(status) || info.hasErrors() || ascii.empty() || ascii.back() == '.')
        return {};
    return ascii;
}

bool isIPv4Loopback(std::string_view host)
{
    int octets = 0;
    bool first127 = false;
    while (!host.empty()) {
        const auto dot = host.find('.');
        const std::string_view part = host.substr(0, dot);
        unsigned value = 256;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc{} || end != part.data() + part.size() || value > 255)
            return false;
        first127 = octets == 0 ? value == 127 : first127;
        ++octets;
        host = dot == std::string_view::npos ? std::string_view{} : host.substr(dot + 1);
    }
    return octets == 4 && first127;
}

bool isLoopback(std::string_view host)
{
    return host == "localhost" || host == "[::1]" || isIPv4Loopback(host);
}

// "host[:port]" with the host checked and lowered, the port checked; a problem text otherwise.
Checked authority(std::string_view text, bool secure)
{
    std::string_view host = text;
    std::string_view port;
    if (text.starts_with('[')) {
        // Only the IPv6 loopback: other literal addresses are no school's site.
        const auto close = text.find(']');
        if (close == std::string_view::npos || text.substr(0, close + 1) != "[::1]")
            return {{}, std::string(wording().badHost)};
        host = text.substr(0, close + 1);
        if (close + 1 < text.size()) {
            if (text[close + 1] != ':')
                return {{}, std::string(wording().badHost)};
            port = text.substr(close + 2);
        }
    } else if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }

    const std::string ascii = host.starts_with('[') ? std::string(host) : asciiHost(host);
    if (ascii.empty())
        return {{}, std::string(wording().badHost)};
    if (!secure && !isLoopback(ascii))
        return {{}, std::string(wording().notSecure)};

    std::string result = ascii;
    if (text.find(':', host.size()) != std::string_view::npos) {
        unsigned number = 0;
        const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
        if (port.empty() || error != std::errc{} || end != port.data() + port.size() || number == 0 || number > 65535)
            return {{}, std::string(wording().badPort)};
        if (number != (secure ? 443U : 80U))
            result.append(":").append(std::to_string(number));
    }
    return {result, {}};
}

// An address split into its scheme's security, its authority and what follows it, or a problem.
struct Parts {
    bool secure = true;
    std::string_view authority;
    std::string_view tail;
    std::string_view problem;
};

Parts split(std::string_view text)
{
    if (!plainCharacters(text))
        return {.problem = wording().badCharacter};

    // A bare host is taken as an https address; any other scheme is refused.
    Parts parts;
    std::string_view rest = text;
    if (const auto separator = text.find("://"); separator != std::string_view::npos) {
        const std::string scheme = lowerASCII(text.substr(0, separator));
        if (scheme != "https" && scheme != "http")
            return {.problem = wording().notSecure};
        parts.secure = scheme == "https";
        rest = text.substr(separator + 3);
    } else if (!text.starts_with('[')) {
        // "javascript:…", "mailto:…": a scheme without "//" rather than a host and its port.
        const std::string_view head = text.substr(0, text.find_first_of("/?#"));
        const auto colon = head.find(':');
        if (colon != std::string_view::npos
            && head.find_first_not_of("0123456789", colon + 1) != std::string_view::npos)
            return {.problem = wording().notSecure};
    }

    const auto authorityEnd = rest.find_first_of("/?#\\");
    parts.authority = rest.substr(0, authorityEnd);
    parts.tail = authorityEnd == std::string_view::npos ? std::string_view{} : rest.substr(authorityEnd);
    if (parts.authority.find('@') != std::string_view::npos)
        return {.problem = wording().withCredentials};
    if (parts.tail.find_first_of("?#") != std::string_view::npos)
        return {.problem = wording().withQuery};
    return parts;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The path as a URL carries it: what RFC 3986 allows in a path stays, a "%" that starts an escape
// stays, every other byte (UTF-8 among them) is percent-encoded. Empty for a backslash, which
// browsers and servers read as a "/" or not.
std::string encodedPath(std::string_view path)
{
    constexpr std::string_view kept = "-._~!$&'()*+,;=:@/";
    std::string encoded;
    for (std::size_t index = 0; index < path.size(); ++index) {
        const char c = path[index];
        const bool escape
            = c == '%' && index + 2 < path.size() && isHexDigit(path[index + 1]) && isHexDigit(path[index + 2]);
        if (c == '\\')
            return {};
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || kept.find(c) != std::string_view::npos || escape) {
            encoded += c;
            continue;
        }
        constexpr std::string_view digits = "0123456789ABCDEF";
        const auto octet = static_cast<unsigned char>(c);
        encoded.append({'%', digits[octet >> 4], digits[octet & 0xF]});
    }
    return encoded;
}

} // namespace

Checked check(std::string_view input, Site site)
{
    const std::string_view text = UnicodeText::trimmed(input);
    if (text.empty())
        return {};
    const Parts parts = split(text);
    if (!parts.problem.empty())
        return {{}, std::string(parts.problem)};
    if (!parts.tail.empty() && parts.tail != "/")
        return {{}, std::string(wording().withPath)};

    Checked checked = authority(parts.authority, parts.secure);
    if (!checked.usable())
        return checked;
    checked.address = (parts.secure ? "https://" : "http://") + checked.address + (site == Site::assessment ? "/" : "");
    return checked;
}

Checked checkCollection(std::string_view input)
{
    const std::string_view text = UnicodeText::trimmed(input);
    if (text.empty())
        return {};
    const Parts parts = split(text);
    if (!parts.problem.empty())
        return {{}, std::string(parts.problem)};
    const std::string path = parts.tail.empty() ? std::string("/") : encodedPath(parts.tail);
    if (path.empty())
        return {{}, std::string(wording().badCharacter)};

    Checked checked = authority(parts.authority, parts.secure);
    if (!checked.usable())
        return checked;
    checked.address = (parts.secure ? "https://" : "http://") + checked.address + path;
    return checked;
}

std::string stored(std::string_view baseURL, Site site)
{
    if (baseURL.empty())
        return {};
    return std::string(baseURL) + (site == Site::assessment ? "/" : "");
}

std::string baseURL(std::string_view stored)
{
    while (stored.ends_with('/'))
        stored.remove_suffix(1);
    return std::string(stored);
}

} // namespace vantory::SiteAddress
