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
    // Stored longest first: the 2 h rule must still decide at 90 minutes.
    const Settings settings = pairedSettings({{"L", 24, "24D000", "24E000"}, {"S", 2, "02D000", "02E000"}});
    struct Case {
        double seconds;
        const char* dot;
        const char* time;
    };
    const Case cases[] = {
        {5400, "02D000", "02E000"},
        {7200, "02D000", "02E000"},
        {7201, "24D000", "24E000"},
        {-86400, "02D000", "02E000"},
        {24 * 3600 + 1, "0000D0", "0000E0"},
        {std::numeric_limits<double>::infinity(), "0000D0", "0000E0"},
        {std::numeric_limits<double>::quiet_NaN(), "0000D0", "0000E0"},
    };
    for (const Case& c : cases) {
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

TEST(TimeColors, WithoutPairedTable)
{
    Settings settings;
    settings.rules = {{"T", 12, "711111"}};
    settings.otherHex = "700000";

    settings.dotStyle = "fixed";
    EXPECT_EQ(Engine::dotHex(60, settings), "FFFFFF");
    EXPECT_EQ(Engine::hex(60, settings), "FFFFFF") << "absent mode follows the fixed dot";

    settings.dotStyle = "rules";
    settings.dotRules = std::vector<ColorRule>{{"D", 1, "D11111"}};
    settings.dotOtherHex = "D00000";
    EXPECT_EQ(Engine::dotHex(60, settings), "D11111");
    EXPECT_EQ(Engine::dotHex(7200, settings), "D00000");

    settings.timeColorMode = "rules";
    EXPECT_EQ(Engine::hex(7200, settings), "711111") << "time text ignores the dot's own table";
    EXPECT_EQ(Engine::hex(86400, settings), "700000");

    settings.timeColorMode = "fixed";
    EXPECT_EQ(Engine::hex(60, settings), "FFFFFF");
    settings.timeHex = "7F0000";
    EXPECT_EQ(Engine::hex(60, settings), "7F0000");

    settings.dotRules.reset();
    settings.dotOtherHex.reset();
    EXPECT_EQ(Engine::dotHex(86400, settings), "700000") << "the dot falls back to rules and otherHex";
}
