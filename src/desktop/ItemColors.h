// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

namespace vantory {

// The colours of an item drawn on a backdrop of its own (a list row, a day, a chosen segment):
// the backdrop and every text on it at least Legibility::textContrast.
struct ItemColors {
    QColor backdrop;
    QColor text;
    QColor secondary;
    // Whether the texts are the selection's text colour, which then stands in for every accent.
    bool selectionText = false;

    // A colour that carries meaning (a course's, an urgency's) drawn as text here.
    QColor accent(const QColor& color) const;
};

// The palette's text and secondary text made readable on `backdrop`.
ItemColors plainItemColors(const QPalette& palette, const QColor& backdrop);

// A selection with the focus: the selection's text colour on the highlight, the highlight deepened
// or lightened, keeping its hue, where the two are too close (Fusion's white on #308CC6 is 3.7:1).
ItemColors selectedItemColors(const QPalette& palette);

// A selection whose view has no focus: the inactive highlight faint over the base, plain texts.
ItemColors unfocusedSelectionColors(const QPalette& palette);

} // namespace vantory
