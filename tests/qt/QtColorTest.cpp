#include "desktop/QtColor.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace vantory {
namespace {

TEST(QtColorTest, HexSurvivesTheWayThroughAColour)
{
    for (const char* hex : {"000000", "FFFFFF", "808080", "7F8081", "22C55E", "EF4444", "010203", "FEFDFC"})
        EXPECT_EQ(QtColor::toHex(QtColor::fromHex(hex)), hex);
}

TEST(QtColorTest, ColoursOfOtherModelsGiveTheirRgbChannels)
{
    const std::vector<std::pair<QColor, std::string>> cases{
        {QColor::fromHsv(0, 255, 255), "FF0000"},
        {QColor::fromCmyk(0, 255, 255, 0), "FF0000"},
        {QColor::fromRgbF(0.5F, 0.25F, 1.0F), "8040FF"},
        {QColor(0x12, 0x34, 0x56, 0x10), "123456"}, // alpha is not stored
        {QColor(), "000000"},
    };
    for (const auto& [color, hex] : cases)
        EXPECT_EQ(QtColor::toHex(color), hex) << hex;
}

} // namespace
} // namespace vantory
