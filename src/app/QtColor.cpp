#include "app/QtColor.h"

#include "model/Rgb.h"

namespace vantory::QtColor {

QColor fromHex(std::string_view hex)
{
    const Rgb rgb = Rgb::fromHex(hex);
    return QColor(qRound(rgb.red * 255), qRound(rgb.green * 255), qRound(rgb.blue * 255));
}

} // namespace vantory::QtColor
