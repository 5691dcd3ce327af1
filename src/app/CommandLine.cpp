// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <algorithm>
#include <array>

namespace vantory {

namespace {

// QGuiApplication's and QApplication's own options, which they take out of argv themselves.
constexpr std::array qtOptionsWithValue{"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-session", "-display", "-geometry", "-style", "-stylesheet",
    "-name", "-title"};
constexpr std::array qtFlags{"-reverse", "-widgetcount", "-nograb", "-dograb"};

template <std::size_t N> bool listed(const std::array<const char*, N>& list, std::string_view argument)
{
    return std::find(list.begin(), list.end(), argument) != list.end();
}

// The help and the usage errors are English only, as the manual page is: they are printed before
// any translation is loaded.
constexpr std::string_view helpText = R"(Usage: vantory [OPTION]...

Shows the nearest course deadlines on the desktop's top bar.

Options:
  -h, --help             show this help and exit
  -v, --version          show the version and exit
      --login            open the sign-in of the first site that has an
                         address (BrevaneLearn, else Canvas), even when
                         deadlines are stored
      --show-calendar    open the calendar window (the running Vantory's,
                         if one runs)
      --tray-only        show only the tray icon, no strip at the top edge
                         (remembered)
      --with-strip       show the strip at the top edge again (remembered);
                         tiling Wayland sessions such as sway start with
                         the tray icon only: use --bar=waybar for waybar
      --data-dir DIR     keep the state file (state.json) and the web
                         profile in DIR (default: ~/.local/share/Vantory)
      --bar=FORMAT       print the line for a status bar, then a new line
                         whenever it changes; FORMAT: waybar, i3blocks,
                         polybar (the state file is only read)
      --once             with --bar: print one line and exit

Exit status: 0 success, 1 running Vantory unreachable, 2 usage error
)";

} // namespace

std::string_view CommandLine::help()
{
    return helpText;
}

std::variant<CommandLine, CommandLine::UsageError> CommandLine::parse(std::span<const std::string> arguments)
{
    CommandLine line;
    bool barAsked = false;
    bool helpAsked = false;
    bool versionAsked = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto equals = argument.find('=');
        const std::string name = argument.starts_with("--") ? argument.substr(0, equals) : argument;
        // The option's value, from "--name=value" or the next argument.
        const auto value = [&]() -> std::optional<std::string> {
            if (equals != std::string::npos && argument.starts_with("--"))
                return argument.substr(equals + 1);
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        const bool hasInlineValue = argument.starts_with("--") && equals != std::string::npos;

        if (name == "-h" || name == "--help") {
            helpAsked = true;
        } else if (name == "-v" || name == "--version") {
            versionAsked = true;
        } else if (name == "--login" || name == "--show-calendar" || name == "--tray-only" || name == "--with-strip"
            || name == "--once") {
            if (hasInlineValue)
                return UsageError{"option '" + name + "' takes no value"};
            line.once = line.once || name == "--once";
        } else if (name == "--data-dir") {
            const auto directory = value();
            if (!directory || directory->empty())
                return UsageError{"option '--data-dir' needs a folder"};
            line.dataDirectory = *directory;
        } else if (name == "--bar") {
            const auto format = value();
            const auto parsed = format ? barFormat(*format) : std::nullopt;
            if (!parsed)
                return UsageError{"option '--bar' needs one of waybar, i3blocks, polybar"};
            line.bar = *parsed;
            barAsked = true;
        } else if (listed(qtOptionsWithValue, argument)) {
            ++i;
        } else if (!listed(qtFlags, argument)) {
            return UsageError{"unknown option '" + argument + "'"};
        }
    }
    if (line.once && !barAsked)
        return UsageError{"option '--once' works only with '--bar'"};
    line.action = helpAsked ? Action::help : versionAsked ? Action::version : barAsked ? Action::bar : Action::run;
    return line;
}

} // namespace vantory
