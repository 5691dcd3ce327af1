// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

namespace vantory::Legibility {

// The strip's own colours, the same under light and dark desktop palettes: a dark backdrop like a
// panel's, on which the urgency colours need little or no change to read, and a light default text.
inline const QColor backdrop{0x1F, 0x1F, 0x1F};
inline const QColor defaultText{0xF2, 0xF2, 0xF2};

// WCAG's floors: for marks (the line's dot) and other graphics, and for text.
constexpr double markContrast = 3.0;
constexpr double textContrast = 4.5;

// WCAG 2 relative luminance of an sRGB colour, 0 (black) to 1 (white); alpha is ignored.
double relativeLuminance(const QColor& color);

// WCAG 2 contrast ratio of two colours, 1 (equal luminance) to 21 (black on white).
double contrastRatio(const QColor& first, const QColor& second);

// The opaque colour a translucent `color` shows over an opaque `background`, in 8-bit channels.
QColor over(const QColor& color, const QColor& background);

// The outline drawn around a mark in `color` so that it stands out from `background`: black or
// white, whichever contrasts more with the mark, when the mark itself contrasts less than
// markContrast with the background; an invalid colour when no outline is needed. The mark keeps
// the colour the user picked.
QColor halo(const QColor& color, const QColor& background);

// The colour to draw text in `text` over `background` with: `text` itself when it reaches
// textContrast there; otherwise the same hue and saturation, its lightness moved towards black or
// white (whichever the background contrasts more with) just far enough. Marks and swatches keep
// the exact colour; only text goes through this. Used the other way round, it gives a backdrop
// for a fixed text colour.
QColor readable(const QColor& text, const QColor& background);

} // namespace vantory::Legibility
