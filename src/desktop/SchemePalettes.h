// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPalette>

#include <optional>

namespace vantory::SchemePalettes {

// A dark palette like the desktops' dark styles, for a desktop whose own palette is light (Qt 6.4
// does not read GNOME's style): every role of the active and inactive groups, and dimmed text for
// disabled controls.
QPalette dark();

// The light palette: the application style's standard one (Fusion's where no Qt theme is set).
QPalette light();

// Whether `palette` draws light text on a dark window.
bool isDark(const QPalette& palette);

// Gives the application the desktop's own palette (its platform theme's, else the style's), or, when
// a scheme is asked for that this palette is not, the scheme's. Every open window follows at once.
void apply(std::optional<bool> dark);

} // namespace vantory::SchemePalettes
