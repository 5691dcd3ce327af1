// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/TextColors.h"

#include <QPalette>
#include <QWidget>

#include <cmath>

namespace vantory::TextColors {

namespace {

constexpr double textContrast = 4.5;

// WCAG 2's relative luminance and contrast ratio.
double luminance(const QColor& colour)
{
    const auto linear = [](float channel) {
        return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double contrast(const QColor& first, const QColor& second)
{
    const double a = luminance(first) + 0.05;
    const double b = luminance(second) + 0.05;
    return a > b ? a / b : b / a;
}

QColor choose(const QPalette& palette, const QColor& onLight, const QColor& onDark)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor chosen = contrast(onLight, window) >= contrast(onDark, window) ? onLight : onDark;
    return contrast(chosen, window) >= textContrast ? chosen : palette.color(QPalette::WindowText);
}

} // namespace

QColor secondary(const QPalette& palette)
{
    return choose(palette, QColor(0x59, 0x59, 0x59), QColor(0xB3, 0xB3, 0xB3));
}

QColor warning(const QPalette& palette)
{
    return choose(palette, QColor(0xC2, 0x41, 0x0C), QColor(0xFB, 0x92, 0x3C));
}

QColor insecure(const QPalette& palette)
{
    // The hue of the application's #EF4444, darker or lighter.
    return choose(palette, QColor(0xB9, 0x1C, 0x1C), QColor(0xF7, 0x94, 0x94));
}

void paint(QWidget* widget, const QColor& colour)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, colour);
    widget->setPalette(colours);
}

} // namespace vantory::TextColors
