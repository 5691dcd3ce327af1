// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

#include <string>
#include <string_view>

namespace vantory {
struct Rgb;
}

namespace vantory::QtColor {

// The colour of a stored colour's channels.
QColor fromRgb(const Rgb& rgb);

// The colour of a settings hex text ("3B82F6", with or without "#"), channel for channel; text
// that is no colour gives the fallback green of Rgb::fromHex.
QColor fromHex(std::string_view hex);

// Six upper-case hex digits of a colour in sRGB, its 8-bit channels, as the settings store
// colours (exact for every colour fromHex gives); an invalid colour gives black.
std::string toHex(const QColor& color);

// The warning orange, as the source of a text or mark on the palette's base: light on a dark
// palette, dark on a light one. Text drawn in it still goes through Legibility::readable.
QColor warning(const QPalette& palette);

} // namespace vantory::QtColor
