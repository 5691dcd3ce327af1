#include "desktop/QtColor.h"

#include "model/Rgb.h"

#include <cstdio>

namespace vantory::QtColor {

QColor fromHex(std::string_view hex)
{
    const Rgb rgb = Rgb::fromHex(hex);
    return QColor(qRound(rgb.red * 255), qRound(rgb.green * 255), qRound(rgb.blue * 255));
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
