// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/ItemColors.h"

#include "desktop/Legibility.h"

namespace vantory {

namespace {

constexpr float unfocusedHighlightOpacity = 0.3F;

} // namespace

QColor ItemColors::accent(const QColor& color) const
{
    return selectionText ? text : Legibility::readable(color, backdrop);
}

ItemColors plainItemColors(const QPalette& palette, const QColor& backdrop)
{
    return {backdrop, Legibility::readable(palette.color(QPalette::Text), backdrop),
        Legibility::readable(palette.color(QPalette::PlaceholderText), backdrop), false};
}

ItemColors selectedItemColors(const QPalette& palette)
{
    const QColor text = palette.color(QPalette::HighlightedText);
    return {Legibility::readable(palette.color(QPalette::Highlight), text), text, text, true};
}

ItemColors unfocusedSelectionColors(const QPalette& palette)
{
    QColor tint = palette.color(QPalette::Inactive, QPalette::Highlight);
    tint.setAlphaF(unfocusedHighlightOpacity);
    return plainItemColors(palette, Legibility::over(tint, palette.color(QPalette::Base)));
}

} // namespace vantory
