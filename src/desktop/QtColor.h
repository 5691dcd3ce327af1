#pragma once

#include <QColor>

#include <string>
#include <string_view>

namespace vantory::QtColor {

// The colour of a settings hex text ("3B82F6", with or without "#"), channel for channel; text
// that is no colour gives the fallback green of Rgb::fromHex.
QColor fromHex(std::string_view hex);

// Six upper-case hex digits of a colour in sRGB, its 8-bit channels, as the settings store
// colours (exact for every colour fromHex gives); an invalid colour gives black.
std::string toHex(const QColor& color);

} // namespace vantory::QtColor
