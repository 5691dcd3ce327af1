// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/SchemePalettes.h"

#include <QApplication>
#include <QStyle>

#include <utility>

namespace vantory::SchemePalettes {

QPalette dark()
{
    // Derives the bevel shades (light, mid, dark, shadow) from the button colour.
    QPalette palette(QColor(0x3A, 0x3A, 0x3F), QColor(0x2B, 0x2B, 0x2E));
    const QColor text(0xEE, 0xEE, 0xEE);
    for (const auto& [role, color] : {std::pair{QPalette::WindowText, text}, {QPalette::Text, text},
             {QPalette::ButtonText, text}, {QPalette::Base, QColor(0x1F, 0x1F, 0x22)},
             {QPalette::AlternateBase, QColor(0x33, 0x33, 0x38)}, {QPalette::PlaceholderText, QColor(0xA8, 0xA8, 0xAE)},
             {QPalette::Highlight, QColor(0x3B, 0x82, 0xF6)}, {QPalette::HighlightedText, QColor(Qt::white)},
             {QPalette::ToolTipBase, QColor(0x3A, 0x3A, 0x3F)}, {QPalette::ToolTipText, text},
             {QPalette::Link, QColor(0x60, 0xA5, 0xFA)}, {QPalette::LinkVisited, QColor(0xA7, 0x8B, 0xFA)}})
        palette.setColor(role, color);
    const QColor disabled(0x80, 0x80, 0x86);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
             QPalette::PlaceholderText, QPalette::HighlightedText})
        palette.setColor(QPalette::Disabled, role, disabled);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x3A, 0x3A, 0x3F));
    return palette;
}

QPalette light()
{
    return QApplication::style()->standardPalette();
}

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightnessF() < palette.color(QPalette::WindowText).lightnessF();
}

void apply(std::optional<bool> dark)
{
    // A palette that sets no role of its own resolves entirely to the desktop's.
    QApplication::setPalette(QPalette());
    if (dark && *dark != isDark(QApplication::palette()))
        QApplication::setPalette(*dark ? SchemePalettes::dark() : light());
}

} // namespace vantory::SchemePalettes
