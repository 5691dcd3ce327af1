// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// One styled stretch of the status line. Offsets count UTF-16 code units, the unit Qt's text
// layout uses.
struct StatusRun {
    enum class Font {
        dot, // the system font, for the leading "● "
        main, // the system font with tabular digits, medium weight
    };

    std::size_t start = 0;
    std::size_t length = 0;
    Font font = Font::main;
    double pointSize = 12;
    // Six hex digits; absent means the desktop's default text colour.
    std::optional<std::string> colorHex;

    bool operator==(const StatusRun&) const = default;
};

// The coloured status line: UTF-8 text whose runs cover it from start to end without overlap.
struct StatusText {
    std::string text;
    std::vector<StatusRun> runs;

    bool operator==(const StatusText&) const = default;
    bool empty() const { return text.empty(); }
};

} // namespace vantory
