// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Database.h"
#include "model/Instant.h"
#include "status/StatusLine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantory {

// The status bars whose custom modules can show the line: waybar (JSON with Pango markup),
// i3blocks (its JSON line format) and polybar (plain text with %{F} colour tags).
enum class BarFormat { waybar, i3blocks, polybar };

std::optional<BarFormat> barFormat(std::string_view name);

// One coloured stretch of the line as a front end shows it; no colour means the front end's own.
struct LineRun {
    std::string text;
    std::optional<std::string> colorHex; // six hex digits

    bool operator==(const LineRun&) const = default;
};

// The line's text split at its coloured runs. Titles come from web pages: in these and in every
// form below, control characters become spaces.
std::vector<LineRun> lineRuns(const StatusText& line);
// One <span color="#rrggbb"> per coloured run, the text escaped for Pango.
std::string pangoMarkup(const StatusText& line);
std::string plainText(const StatusText& line);
// The tooltip's lines without leading or trailing empty ones; line breaks kept.
std::string plainTooltip(const StatusLine& line);

// How urgent the shown deadline is, for the bar's styling: "overdue", "urgent" (under a day),
// "soon" (under three days), "later"; "idle" when no deadline shows, "error" when the state file
// cannot be read.
std::string urgencyClass(const StatusLine& line, const Database& db, Instant now, bool storageProblem);

// The line as the bar reads it, without the line break. Titles come from web pages: control
// characters become spaces, and markup and quotes are escaped for the bar's format.
std::string barLine(BarFormat format, const StatusLine& line, std::string_view cssClass);

} // namespace vantory
