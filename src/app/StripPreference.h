// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QSettings;

namespace vantory::StripPreference {

// Whether the status strip shows beside the tray icon. "--tray-only" turns it off and
// "--with-strip" back on (the last of them wins); the choice is kept in `settings`, so later
// launches without either option keep it. Until a choice is made it shows, except under a tiling
// Wayland compositor, which would tile it like any window: there the tray icon and the bar's own
// module (vantory --bar=waybar) show the line.
bool stripWanted(const QStringList& arguments, QSettings& settings);

// Whether the session is a tiling Wayland compositor's (sway, Hyprland, river), by what it exports.
bool tilingSession();

} // namespace vantory::StripPreference
