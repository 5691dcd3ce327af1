// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vantory {

// An opaque sRGB colour with components from 0 to 1.
struct Rgb {
    double red = 0;
    double green = 0;
    double blue = 0;

    bool operator==(const Rgb&) const = default;

    // "#3b82f6", "3B82F6": every "#" is dropped; text that is not a hexadecimal number gives the
    // fallback green "22C55E". Only the low 24 bits count.
    static Rgb fromHex(std::string_view text);

    // Six upper-case hexadecimal digits, each component scaled by 255 and truncated.
    std::string hex() const;
};

} // namespace vantory
