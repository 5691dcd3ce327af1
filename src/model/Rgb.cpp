// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Rgb.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vantory {

namespace {

// Parses the whole text as an unsigned 64-bit hexadecimal number. A sign is accepted as an
// unsigned parser does: "+" always, "-" only before zero.
bool parseHex(const std::string& digits, std::uint64_t& value)
{
    const bool negative = !digits.empty() && digits[0] == '-';
    const std::size_t start = negative || (!digits.empty() && digits[0] == '+') ? 1 : 0;
    if (start == digits.size())
        return false;
    for (std::size_t i = start; i < digits.size(); ++i) {
        const char c = digits[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(digits.c_str() + start, &end, 16);
    return errno != ERANGE && end == digits.c_str() + digits.size() && !(negative && value != 0);
}

int component(double value)
{
    return std::clamp(static_cast<int>(value * 255), 0, 255);
}

} // namespace

Rgb Rgb::fromHex(std::string_view text)
{
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c != '#'; });
    std::uint64_t value = 0;
    if (!parseHex(digits, value))
        value = 0x22C55E;
    return {((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0};
}

std::string Rgb::hex() const
{
    char text[7];
    std::snprintf(text, sizeof text, "%02X%02X%02X", component(red), component(green), component(blue));
    return text;
}

} // namespace vantory
