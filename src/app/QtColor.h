#pragma once

#include <QColor>

#include <string_view>

namespace vantory::QtColor {

// The colour of a settings hex text ("3B82F6", with or without "#"), channel for channel; text
// that is no colour gives the fallback green of Rgb::fromHex.
QColor fromHex(std::string_view hex);

} // namespace vantory::QtColor
