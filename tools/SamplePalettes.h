#pragma once

#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include <memory>

namespace vantory::sample {

// The light palette: Fusion's own, which a desktop without a Qt theme gives.
inline QPalette lightPalette()
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

// A dark palette like the desktops' dark themes.
inline QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2E));
    palette.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    palette.setColor(QPalette::Base, QColor(0x1F, 0x1F, 0x22));
    palette.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x38));
    palette.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    palette.setColor(QPalette::PlaceholderText, QColor(0xA8, 0xA8, 0xAE));
    palette.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3F));
    palette.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
    palette.setColor(QPalette::Highlight, QColor(0x3B, 0x82, 0xF6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0x3A, 0x3A, 0x3F));
    palette.setColor(QPalette::ToolTipText, QColor(0xEE, 0xEE, 0xEE));
    return palette;
}

} // namespace vantory::sample
