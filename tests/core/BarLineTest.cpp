#include "status/BarLine.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace vantory;
using Json = nlohmann::json;

namespace {

// "● " in the dot colour, the course name in the default colour, the rest in the time colour.
// Offsets count UTF-16 units: "𝄞" takes two.
StatusLine line(const std::string& course, const std::string& rest)
{
    StatusLine line;
    line.plainText = "● " + course + rest;
    line.tooltip = "\n1개 중 1번째 항목 · " + course + "\n마감 <내일>\n";
    line.dotHex = "FF3B30";
    const auto units = [](const std::string& text) {
        std::size_t count = 0;
        for (unsigned char c : text)
            count += (c & 0xC0) != 0x80 ? ((c & 0xF8) == 0xF0 ? 2 : 1) : 0;
        return count;
    };
    line.coloredLine.text = line.plainText;
    line.coloredLine.runs
        = {{0, 2, StatusRun::Font::dot, 12, "FF3B30"}, {2, units(course), StatusRun::Font::main, 12, std::nullopt},
            {2 + units(course), units(rest), StatusRun::Font::main, 12, "00C853"}};
    return line;
}

} // namespace

TEST(BarLineTest, WaybarGetsJsonWithEscapedMarkupAndColourSpans)
{
    const Json parsed = Json::parse(barLine(BarFormat::waybar, line("A<b>&\"'\x01", "\t(1d)"), "urgent"));
    EXPECT_EQ(parsed.at("text"),
        "<span color=\"#FF3B30\">● </span>A&lt;b&gt;&amp;&quot;&#39; "
        "<span color=\"#00C853\"> (1d)</span>");
    EXPECT_EQ(parsed.at("tooltip"), "1개 중 1번째 항목 · A&lt;b&gt;&amp;&quot;&#39; \n마감 &lt;내일&gt;");
    EXPECT_EQ(parsed.at("class"), "urgent");
}

TEST(BarLineTest, EachFormatIsOneLineWhateverTheTitleHolds)
{
    const StatusLine tricky = line("313\n\r\x7f\xc2\x85 𝄞", " | Q \"1\" (2h)");
    for (BarFormat format : {BarFormat::waybar, BarFormat::i3blocks, BarFormat::polybar}) {
        const std::string text = barLine(format, tricky, "soon");
        EXPECT_EQ(text.find_first_of("\n\r\x7f"), std::string::npos) << text;
        EXPECT_EQ(text.find("\xc2\x85"), std::string::npos) << text;
        EXPECT_NE(text.find("𝄞"), std::string::npos) << "characters beyond the BMP stay whole: " << text;
    }
}

TEST(BarLineTest, I3blocksGetsThePlainTextInTheDotColour)
{
    const Json parsed = Json::parse(barLine(BarFormat::i3blocks, line("313 \"x\"", " | Preclass (1d)"), "later"));
    EXPECT_EQ(parsed, (Json{{"full_text", "● 313 \"x\" | Preclass (1d)"}, {"color", "#FF3B30"}}));

    StatusLine placeholder;
    placeholder.coloredLine.text = "Vantory · 연결";
    EXPECT_EQ(Json::parse(barLine(BarFormat::i3blocks, placeholder, "idle")), (Json{{"full_text", "Vantory · 연결"}}));
}

TEST(BarLineTest, PolybarGetsColourTagsAndDoubledPercentSigns)
{
    EXPECT_EQ(barLine(BarFormat::polybar, line("𝄞 %{F#000}", " 50% (1d)"), "later"),
        "%{F#FF3B30}● %{F-}𝄞 %%{F#000}%{F#00C853} 50%% (1d)%{F-}");
}

TEST(BarLineTest, UrgencyClassFollowsTheShownDeadline)
{
    const Instant now = instantFromSeconds(1'000'000);
    Database db;
    for (auto [id, dueIn] : {std::pair{"late", -60.0}, {"hours", 3600.0}, {"days", 2 * 86400.0}, {"week", 7 * 86400.0}})
        db.assessments.push_back({.id = id, .due = now + Instant::duration(dueIn)});
    db.overrides["week"] = {.due = now - Instant::duration(1)}; // a hand-set deadline wins
    StatusLine shown;
    const std::vector<std::pair<std::optional<std::string>, std::string>> cases{{"late", "overdue"},
        {"hours", "urgent"}, {"days", "soon"}, {"week", "overdue"}, {std::nullopt, "idle"}, {"gone", "idle"}};
    for (const auto& [id, expected] : cases) {
        shown.shownAssessmentID = id;
        EXPECT_EQ(urgencyClass(shown, db, now, false), expected) << id.value_or("none");
    }
    EXPECT_EQ(urgencyClass(shown, db, now, true), "error");
}
