// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace vantory {

// Draws `widget`'s text in the palette's secondary colour (the placeholder role), moved just far
// enough to be readable on the widget's background (Legibility::readable), and keeps it so as the
// palette changes: the widget's own text role holds the result, its placeholder role the source.
void useSecondaryText(QWidget* widget);

} // namespace vantory
