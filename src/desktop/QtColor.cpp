// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/QtColor.h"

#include "model/Rgb.h"

#include <cstdio>

namespace vantory::QtColor {

QColor fromRgb(const Rgb& rgb)
{
    return QColor::fromRgbF(static_cast<float>(rgb.red), static_cast<float>(rgb.green), static_cast<float>(rgb.blue));
}

QColor fromHex(std::string_view hex)
{
    const Rgb rgb = Rgb::fromHex(hex);
    return QColor(qRound(rgb.red * 255), qRound(rgb.green * 255), qRound(rgb.blue * 255));
}

QColor warning(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128 ? QColor(0xFB, 0x92, 0x3C) : QColor(0xC2, 0x41, 0x0C);
}

std::string toHex(const QColor& color)
{
    // The 8-bit channels, not the float ones scaled and truncated: 128/255 scaled back can land on
    // 127.99…, so every save through a colour well would darken the colour by one step.
    const QColor rgb = color.isValid() ? color.toRgb() : QColor(Qt::black);
    char text[7];
    std::snprintf(text, sizeof text, "%02X%02X%02X", rgb.red(), rgb.green(), rgb.blue());
    return text;
}

} // namespace vantory::QtColor
