// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Database.h"
#include "model/Instant.h"
#include "model/Settings.h"
#include "status/StatusText.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// What a composition reads: the database at a moment, and the sync state the tooltip reports.
struct StatusLineInput {
    const Database& db;
    Instant now;
    std::string status; // the sync status text
    std::string lastUpdateText; // "마지막 업데이트 …"
    // The status of each site whose sync needs the student's attention, with its reason on a line
    // under it; the tooltip warns of each.
    std::vector<std::string> warnings;
    // Why the state file is neither read nor written any more, naming the file; empty while
    // storage works.
    std::string storageProblem;
};

// What one composition remembers for the next: the rotation cycle, the shown item and the last
// measured automatic width (points).
struct StatusLineState {
    Instant rotationStarted{};
    std::string lastSignature;
    std::optional<std::string> displayedAssessmentID;
    std::string layoutSignature;
    double compactWidth = SettingsDefaults::statusWidth;
};

// The composed status line, ready to apply to the status item and its view.
struct StatusLine {
    enum class Alignment { left, center, right };

    std::string plainText; // also the accessible name
    std::string tooltip;
    std::string timeHex; // empty while a placeholder shows
    std::string dotHex; // the urgency dot's colour, even when no dot is drawn; empty while a placeholder shows
    StatusText coloredLine;
    std::optional<std::string> shownAssessmentID;
    double width = SettingsDefaults::statusWidth; // points
    double padding = 6; // points, each side
    Alignment alignment = Alignment::center;
    std::string effect = SettingsDefaults::transitionStyle;
    double duration = 0.3; // seconds
    bool animate = false; // a different deadline replaces the one on screen
    double nextBoundary = 60; // seconds until the line must change by itself
    bool measured = false; // whether this composition measured text widths
};

// Width in points of a styled text set on one line.
using MeasureText = std::function<double(const StatusText&)>;

// Composes the status line at input.now, advancing state. Text is measured only
// when the displayed items or the layout settings changed since the last measurement.
StatusLine composeStatusLine(const StatusLineInput& input, StatusLineState& state, const MeasureText& measure);

} // namespace vantory
