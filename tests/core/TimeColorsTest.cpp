#include "engine/Engine.h"

#include <gtest/gtest.h>
#include <limits>

using namespace vantory;

namespace {

Settings pairedSettings(std::vector<PairedColorRule> rules)
{
    Settings settings;
    settings.pairedRules = std::move(rules);
    settings.pairedOtherDot = "0000D0";
    settings.pairedOtherTime = "0000E0";
    return settings;
}

} // namespace

TEST(TimeColors, PairedTableShortestMatchingThresholdWins)
{
    // Stored longest first: the 2 h rule must still decide up to and including 2 hours.
    const Settings settings = pairedSettings({{"L", 24, "24D000", "24E000"}, {"S", 2, "02D000", "02E000"}});
    const struct {
        double seconds;
        const char* dot;
        const char* time;
    } cases[] = {
        {7200, "02D000", "02E000"},
        {7201, "24D000", "24E000"},
        {-86400, "02D000", "02E000"},
        {24 * 3600 + 1, "0000D0", "0000E0"},
        {std::numeric_limits<double>::quiet_NaN(), "0000D0", "0000E0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(Engine::dotHex(c.seconds, settings), c.dot);
        EXPECT_EQ(Engine::hex(c.seconds, settings), c.time);
    }
}

TEST(TimeColors, PairedTableEdges)
{
    Settings empty = pairedSettings({});
    EXPECT_EQ(Engine::dotHex(0, empty), "0000D0");
    EXPECT_EQ(Engine::hex(0, empty), "0000E0");
    empty.pairedOtherDot.reset();
    empty.linkedTimeColors = true;
    EXPECT_EQ(Engine::hex(0, empty), "FFFFFF");

    Settings linked = pairedSettings({{"S", 2, "02D000", "02E000"}});
    linked.linkedTimeColors = true;
    EXPECT_EQ(Engine::hex(60, linked), "02D000");
    EXPECT_EQ(Engine::hex(1e9, linked), "0000D0");

    const Settings ties = pairedSettings({{"A", 2, "AAAAAA", "AAAAAA"}, {"B", 2, "BBBBBB", "BBBBBB"}});
    EXPECT_EQ(Engine::dotHex(60, ties), "AAAAAA");
}

// Settings not yet normalised (a fresh store before its first save) have no paired table.
TEST(TimeColors, WithoutPairedTableTheTimeFollowsTheDotUnlessToldOtherwise)
{
    Settings settings;
    settings.dotStyle = "fixed";
    settings.dotHex = "123456";
    EXPECT_EQ(Engine::hex(60, settings), "123456");
    settings.timeColorMode = "rules";
    EXPECT_EQ(Engine::hex(60, settings), "EF4444");
}
