// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Scale.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace vantory::Scale {

double factor(const QWidget* widget)
{
    constexpr double designPixels = 10.0 * 96 / 72;
    const QFont& font = widget->font();
    const double pixels
        = font.pointSizeF() > 0 ? font.pointSizeF() * widget->logicalDpiY() / 72.0 : double(font.pixelSize());
    return std::max(1.0, pixels / designPixels);
}

int length(const QWidget* widget, int design)
{
    return static_cast<int>(std::lround(design * factor(widget)));
}

QFont font(QFont font, double ratio)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * ratio);
    else
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * ratio))));
    return font;
}

} // namespace vantory::Scale
