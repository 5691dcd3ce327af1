// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Legibility.h"

#include <algorithm>
#include <cmath>

namespace vantory::Legibility {

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// The colour of that hue and saturation at `lightness`, in the 8-bit channels it is painted with.
QColor atLightness(float hue, float saturation, float lightness)
{
    const QColor color = QColor::fromHslF(hue, saturation, lightness).toRgb();
    return QColor(color.red(), color.green(), color.blue());
}

} // namespace

double relativeLuminance(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor& first, const QColor& second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor over(const QColor& color, const QColor& background)
{
    const QColor top = color.toRgb(), bottom = background.toRgb();
    const float alpha = top.alphaF();
    // In 8-bit channels, as painted, so that a colour chosen against the result holds on the screen.
    const auto channel = [alpha](float up, float down) { return qRound((up * alpha + down * (1 - alpha)) * 255); };
    return QColor(channel(top.redF(), bottom.redF()), channel(top.greenF(), bottom.greenF()),
        channel(top.blueF(), bottom.blueF()));
}

QColor halo(const QColor& color, const QColor& background)
{
    if (contrastRatio(color, background) >= markContrast)
        return {};
    return contrastRatio(color, Qt::black) >= contrastRatio(color, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

QColor readable(const QColor& text, const QColor& background)
{
    const QColor shown = over(text, background);
    if (contrastRatio(shown, background) >= textContrast)
        return text;
    float hue = 0, saturation = 0, lightness = 0;
    shown.getHslF(&hue, &saturation, &lightness);
    // Luminance grows with HSL lightness at a fixed hue and saturation, so bisection finds the
    // smallest move. Black or white reaches at least √21 ≈ 4.58 against any background, so the
    // passing end always passes.
    const bool darken = contrastRatio(Qt::black, background) >= contrastRatio(Qt::white, background);
    float passing = darken ? 0.0F : 1.0F, failing = lightness;
    for (int step = 0; step < 16; ++step) {
        const float middle = (passing + failing) / 2;
        (contrastRatio(atLightness(hue, saturation, middle), background) >= textContrast ? passing : failing) = middle;
    }
    return atLightness(hue, saturation, passing);
}

} // namespace vantory::Legibility
