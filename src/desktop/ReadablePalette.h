// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPalette>

namespace vantory {

// `palette` with the two texts the style draws that Fusion and many themes leave below
// Legibility::textContrast made readable: the selection's text on the highlight (the highlight
// deepened or lightened, keeping its hue, as the list rows draw it) and placeholder text on a
// field's base. Views Vantory does not paint itself (a combo box's popup, the time-zone picker's
// completions, line edits) then read as well as its own. A readable palette comes back unchanged.
QPalette readablePalette(QPalette palette);

// Makes the application palette readable now and again after every change of it (a theme switch).
void keepApplicationPaletteReadable();

} // namespace vantory
