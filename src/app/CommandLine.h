// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/BarLine.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace vantory {

// What a launch was asked to do. Parsed before any Qt application object exists, so --help,
// --version, a usage error and the bar mode never need a display. The window flags (--login,
// --show-calendar, --tray-only, --with-strip) are read from the argument list itself by their
// owners, also when a later launch hands its arguments over.
struct CommandLine {
    enum class Action { run, help, version, bar };

    Action action = Action::run;
    std::optional<std::filesystem::path> dataDirectory;
    BarFormat bar = BarFormat::waybar;
    bool once = false;

    struct UsageError {
        std::string message;
    };

    // The arguments after the program name. Qt's own options (-platform xcb, -style …) pass.
    static std::variant<CommandLine, UsageError> parse(std::span<const std::string> arguments);

    static std::string_view help();
    static constexpr std::string_view helpHint = "Try 'vantory --help' for more information.";
};

} // namespace vantory
