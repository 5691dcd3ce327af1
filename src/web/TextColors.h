// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QPalette;
class QWidget;

// The sign-in window's texts in colours of their own, each reaching 4.5:1 on the window colour: of
// a fixed pair, one for light and one for dark windows, the one that contrasts more, or where even
// that falls short (a mid-grey theme) the palette's own text colour. The worker links nothing of the
// application's Legibility, which moves any colour just far enough; three fixed texts need no more.
namespace vantory::TextColors {

// Hints and details under a heading, in place of Qt's placeholder grey (3.9:1 on Fusion's window).
QColor secondary(const QPalette& palette);
// A page that did not load, in the application's warning orange.
QColor warning(const QPalette& palette);
// A page shown over a connection that is not encrypted, in the application's red.
QColor insecure(const QPalette& palette);

// Draws `widget`'s text in `colour` from now on; its other colours stay its parent's.
void paint(QWidget* widget, const QColor& colour);

} // namespace vantory::TextColors
