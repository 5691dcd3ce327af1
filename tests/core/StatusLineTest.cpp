// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/StatusLine.h"

#include "model/Dates.h"
#include "model/UnicodeText.h"
#include "status/BarLine.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace vantory;

namespace {

constexpr double base = 1764871200; // 2025-12-04 18:00 UTC
constexpr double hour = 3600, day = 86400;
using Change = std::function<void(Database&)>;

Assessment item(const std::string& id, double dueIn, const std::string& courseID = "c1",
    const std::string& category = "Preclass", std::optional<double> score = {})
{
    return {id, courseID, id + "-code", id + " title", category, "", score, {}, {}, instantFromSeconds(base + dueIn),
        "known"};
}

// "start+length colour" per run; "dot" marks the dot run, "-" the default text colour.
std::string describe(const StatusText& line)
{
    std::string text;
    for (const StatusRun& run : line.runs)
        text += (text.empty() ? "" : ", ") + std::to_string(run.start) + "+" + std::to_string(run.length)
            + (run.font == StatusRun::Font::dot ? " dot " : " ") + run.colorHex.value_or("-");
    return text;
}

class StatusLineTest : public ::testing::Test {
protected:
    // Time colour fixed at AAAAAA, the dot on the default rules (EAB308 up to 36 h); not normalised.
    void reset(std::vector<Assessment> items, const Change& change = {}, double pointsPerUnit = 7)
    {
        db = {};
        db.settings.courses = {{.id = "c1", .name = "자료구조", .colorHex = "111111"},
            {.id = "c2", .name = "313", .colorHex = "222222"}, {.id = "c3", .name = "off", .enabled = false}};
        db.settings.timeColorMode = "fixed", db.settings.timeHex = "AAAAAA";
        db.assessments = std::move(items);
        if (change)
            change(db);
        status = "BrevaneLearn을 연결해 주세요", warnings.clear(), storageProblem.clear();
        state = {}, perUnit = pointsPerUnit, measureCalls = 0;
    }

    // Changes the data, then composes at base + at seconds; a UTF-16 unit measures perUnit points, of the dot 5.
    StatusLine compose(double at, const Change& change = {})
    {
        if (change)
            change(db);
        return composeStatusLine({db, instantFromSeconds(base + at), status, lastUpdate, warnings, storageProblem},
            state, [this](const StatusText& text) {
                ++measureCalls;
                double width = 0;
                for (const StatusRun& run : text.runs)
                    width += run.length * (run.font == StatusRun::Font::dot ? 5 : perUnit);
                return width;
            });
    }

    Database db;
    StatusLineState state;
    std::string status, storageProblem, lastUpdate = "마지막 업데이트 12/4 10:00";
    std::vector<std::string> warnings;
    double perUnit = 7;
    int measureCalls = 0;
};

} // namespace

TEST_F(StatusLineTest, PlaceholdersFitTheirTextAndItemTextAndTooltipNameTheItemItsPositionAndWarnings)
{
    const std::tuple<std::vector<Assessment>, Change, std::string> cases[] = {
        {{item("a", day)}, [](Database& db) { db.settings.durations.clear(); }, "Vantory | 표시 항목을 추가해 주세요"},
        {{}, {}, "Vantory · 연결"}, {{item("past", -1)}, {}, "자료구조/313 | 예정된 마감 없음"},
        {{item("past", -1)},
            [](Database& db) { db.settings.courses[0].enabled = db.settings.courses[1].enabled = false; },
            "Vantory | 예정된 마감 없음"}};
    for (const auto& [items, change, text] : cases) {
        reset(items, change);
        const StatusLine line = compose(0);
        const std::size_t units = UnicodeText::utf16Length(text);
        EXPECT_EQ(line.plainText + " " + describe(line.coloredLine), text + " 0+" + std::to_string(units) + " -");
        EXPECT_EQ(line.tooltip, status + "\n" + lastUpdate);
        EXPECT_TRUE(line.timeHex.empty() && !line.shownAssessmentID && line.nextBoundary == 60);
        EXPECT_EQ(line.width, std::ceil(7.0 * units + 14));
    }
    reset({item("a", day, "c1", "Preclass", 86.5), item("b", 2 * day, "c2", "Quiz")}, [](Database& db) {
        db.settings.durations = {5, 3, 4}, db.settings.showProgress = true;
    });
    EXPECT_EQ(compose(0).plainText, "자료구조 | Preclass (1d 0h0m) · 87%");
    const StatusLine second = compose(6);
    EXPECT_EQ(second.plainText, "313 | Quiz (1d 23h59m)"); // no score, no progress
    EXPECT_EQ(second.tooltip,
        "2개 중 2번째 항목 · 313\nb-code · b title\n마감 " + Dates::display(instantFromSeconds(base + 2 * day), Zone())
            + "\n" + lastUpdate);
    // Each failing site's status with its reason, so the bus's tooltip says why.
    warnings = {
        "과목 목록 조회 실패 · 기존 일정 유지\n사이트가 연결을 거부했습니다 (오류 -102)", "Canvas 재로그인이 필요해요"};
    EXPECT_TRUE(compose(7).tooltip.ends_with(lastUpdate + "\n⚠ " + warnings[0] + "\n⚠ " + warnings[1]));
    reset({}); // a file that cannot be read does not pass for a fresh start
    status = "로그인이 필요해요", warnings = {status};
    storageProblem = "저장된 일정을 읽지 못했습니다. 원본을 유지합니다. (/home/s/state.json)";
    const StatusLine stopped = compose(0);
    EXPECT_EQ(stopped.plainText, "Vantory | 일정 파일 오류");
    EXPECT_EQ(stopped.tooltip, "⚠ " + storageProblem + "\n로그인이 필요해요\n" + lastUpdate + "\n⚠ 로그인이 필요해요");
}

TEST_F(StatusLineTest, ColoursCourseCategoryAndTimeByModeAndStyle)
{
    // Style keys hold the raw category, and only the item's own course counts.
    const std::string course = "0+4 111111, 4+3 -, ", dotCourse = "0+2 dot EAB308, 2+4 111111, 6+3 -, ";
    const std::string timeColored = ", 15+2 -, 17+8 AAAAAA, 25+1 -";
    const CategoryStyle custom{"custom", "654321"}, everywhere{"custom", "123456"}, calendar{"calendar"};
    const std::tuple<std::string, std::map<std::string, CategoryStyle>, std::string, bool> cases[] = {
        {"text", {}, course + "7+8 AAAAAA" + timeColored, false},
        {"both", {}, dotCourse + "9+8 AAAAAA, 17+2 -, 19+8 AAAAAA, 27+1 -", false},
        {"dot", {}, "0+2 dot EAB308, 2+4 111111, 6+22 -", false},
        {"text", {{"all|PreClass", everywhere}, {"c1|PreClass", custom}}, course + "7+8 654321" + timeColored, false},
        {"text", {{"all|Preclass", everywhere}, {"c2|PreClass", custom}}, course + "7+8 AAAAAA" + timeColored, false},
        {"dot", {{"all|PreClass", calendar}}, dotCourse + "9+8 111111, 17+11 -", false},
        {"dot", {{"all|PreClass", calendar}}, "0+2 dot EAB308, 2+4 777777, 6+3 -, 9+8 777777, 17+11 -", true}};
    for (const auto& [mode, styles, runs, uniform] : cases) {
        reset({item("a", day + 4 * hour + 20 * 60 + 30, "c1", "PreClass")}, [&](Database& db) {
            db.settings.colorMode = mode, db.settings.statusFontSize = 14, db.settings.categoryStyles = styles;
            db.settings.uniformCourseColors = uniform, db.settings.uniformCalendarHex = "777777";
        });
        const StatusLine line = compose(0);
        EXPECT_EQ(line.plainText + " " + describe(line.coloredLine), "자료구조 | Preclass (1d 4h20m) " + runs);
        for (const StatusRun& run : line.coloredLine.runs)
            EXPECT_EQ(run.pointSize, run.font == StatusRun::Font::dot ? 10 : 14);
    }
}

TEST_F(StatusLineTest, WidthReservesTheWidestCountdownMeasuredOnlyWhenTheLayoutChangesAndRotationRestartsOnlyOnChanges)
{
    // "313 | Quiz ()" is 13 units; padding adds 14 points, the dot 10; reserved: the widest countdown.
    const std::tuple<double, Change, double, double, int> cases[]
        = {{day + 5 * hour, {}, 7, 7 * (13 + 9) + 14, 5}, {12 * hour, {}, 7, 7 * (13 + 6) + 14, 4},
            {2 * hour, {}, 7, 7 * (13 + 5) + 14, 4}, {30, {}, 7, 7 * (13 + 3) + 14, 3},
            {2 * hour, [](Database& db) { db.settings.colorMode = "both"; }, 7, 7 * 18 + 10 + 14, 5},
            {2 * hour, [](Database& db) { db.settings.showProgress = true; }, 7, 7 * (18 + 7) + 14, 4}, // " · 100%"
            {2 * hour, {}, 0.1, 40, 4}, {2 * hour, {}, 100, 600, 4},
            {2 * hour, [](Database& db) { db.settings.statusWidthMode = "fixed"; }, 100, 280, 4}};
    for (const auto& [left, change, pointsPerUnit, width, measures] : cases) {
        reset({item("a", left, "c2", "Quiz")}, change, pointsPerUnit);
        EXPECT_EQ(compose(0).width, std::ceil(width)) << left;
        EXPECT_EQ(measureCalls, measures) << left;
    }
    reset({item("a", 2 * day), item("b", 3 * day, "c2")}, [](Database& db) { db.settings.durations = {5, 3}; });
    const double t = 1.5 * day; // a counts down from 2d to 12h by then: same item, same width
    const std::tuple<double, Change, bool, bool> steps[] = {{0, {}, true, false}, {t, {}, false, false},
        {t + 6, {}, false, true}, {t + 8, [](Database& db) { db.settings.showProgress = true; }, true, true},
        {t + 10, [](Database& db) { db.assessments[1].due = instantFromSeconds(base + 4 * day); }, true, false},
        {t + 11, [](Database& db) { db.assessments.clear(); }, true, false}, {t + 12, {}, false, false},
        {t + 13, [](Database& db) { db.assessments = {item("b", 3 * day, "c2")}; }, true, false}};
    for (const auto& [at, change, measured, animate] : steps) {
        const int callsBefore = measureCalls;
        const StatusLine line = compose(at, change);
        EXPECT_TRUE(line.measured == measured && (measureCalls > callsBefore) == measured) << "at " << at;
        EXPECT_EQ(line.animate, animate) << "at " << at;
    }
    // Half a minute past whole minutes: the countdowns change after every slot here.
    reset({item("A", day + 30), item("B", 2 * day + 30), item("C", 3 * day + 30)}, [](Database& db) {
        db.settings.durations = {5, 3};
    });
    const auto moveDue = [](std::size_t index, double dueIn) {
        return [=](Database& db) { db.assessments[index].due = instantFromSeconds(base + dueIn); };
    };
    const Change slots = [](Database& db) { db.settings.durations = {5, 4}; };
    // C is never displayed; A's deadline ends its slot early, and once A passed, C and B restart.
    const std::tuple<double, Change, std::string, double> rotation[] = {{0, {}, "A", 5}, {6.5, {}, "B", 1.5},
        {9, {}, "A", 4}, {10, moveDue(2, 4 * day), "A", 3}, {11, slots, "A", 5}, {17.5, {}, "B", 2.5},
        {18, moveDue(1, 5 * day), "A", 5}, {19, moveDue(0, 21), "A", 2}, {20.99, {}, "A", 0.05}, {21, {}, "C", 5}};
    for (const auto& [at, change, shown, boundary] : rotation) {
        const StatusLine line = compose(at, change);
        EXPECT_TRUE(line.shownAssessmentID == shown && std::abs(line.nextBoundary - boundary) < 1e-6) << "at " << at;
    }
    // Without a rotation the line changes when the countdown's minute does, not a minute later; on a
    // whole minute left it changes at once.
    reset({item("A", day + 30)}, [](Database& db) { db.settings.durations = {10}; });
    for (const auto& [at, boundary] : {std::pair{0.0, 30.0}, {29.0, 1.0}, {30.0, 0.05}, {30.01, 59.99}, {31.5, 58.5}})
        EXPECT_NEAR(compose(at).nextBoundary, boundary, 1e-6) << "at " << at;
}

TEST(BarLine, EachFormatEscapesItsMarkupOnOneLineAndTheClassFollowsTheShownDeadline)
{
    const auto source = [](const std::string& course, const std::string& rest) {
        StatusLine line;
        line.plainText = line.coloredLine.text = "● " + course + rest;
        line.tooltip = "\n1개 중 1번째 항목 · " + course + "\n마감 <내일>\n";
        line.dotHex = "FF3B30";
        const std::size_t units = UnicodeText::utf16Length(course);
        line.coloredLine.runs
            = {{0, 2, StatusRun::Font::dot, 12, "FF3B30"}, {2, units, StatusRun::Font::main, 12, std::nullopt},
                {2 + units, UnicodeText::utf16Length(rest), StatusRun::Font::main, 12, "00C853"}};
        return line;
    };
    using Json = nlohmann::json;
    EXPECT_EQ(Json::parse(barLine(BarFormat::waybar, source("A<b>&\"'\x01", "\t(1d)"), "urgent")),
        (Json{{"text",
                  "<span color=\"#FF3B30\">● </span>A&lt;b&gt;&amp;&quot;&#39; "
                  "<span color=\"#00C853\"> (1d)</span>"},
            {"tooltip", "1개 중 1번째 항목 · A&lt;b&gt;&amp;&quot;&#39; \n마감 &lt;내일&gt;"}, {"class", "urgent"},
            {"alt", "urgent"}}));
    EXPECT_EQ(Json::parse(barLine(BarFormat::i3blocks, source("313 \"x\"", " | Preclass (1d)"), "later")),
        (Json{{"full_text", "● 313 \"x\" | Preclass (1d)"}, {"color", "#FF3B30"}}));
    StatusLine placeholder;
    placeholder.coloredLine.text = "Vantory · 연결";
    EXPECT_EQ(Json::parse(barLine(BarFormat::i3blocks, placeholder, "idle")), (Json{{"full_text", "Vantory · 연결"}}));
    EXPECT_EQ(barLine(BarFormat::polybar, source("𝄞 %{F#000}", " 50% (1d)"), "later"),
        "%{F#FF3B30}● %{F-}𝄞 %%{F#000}%{F#00C853} 50%% (1d)%{F-}");
    // Controls go and characters beyond the BMP stay whole, in every format.
    for (BarFormat format : {BarFormat::waybar, BarFormat::i3blocks, BarFormat::polybar}) {
        const std::string text = barLine(format, source("313\n\r\x7f\xc2\x85 𝄞", " | Q \"1\" (2h)"), "soon");
        EXPECT_TRUE(text.find_first_of("\n\r\x7f") == std::string::npos && text.find("\xc2\x85") == std::string::npos
            && text.find("𝄞") != std::string::npos)
            << text;
    }
    const Instant now = instantFromSeconds(base);
    Database db;
    for (auto [id, dueIn] : {std::pair{"late", -60.0}, {"hours", hour}, {"days", 2 * day}, {"week", 7 * day}})
        db.assessments.push_back({.id = id, .due = now + Instant::duration(dueIn)});
    db.overrides["week"] = {.due = now - Instant::duration(1)}; // a hand-set deadline wins
    StatusLine shown;
    std::string classes; // of each, then with errors
    for (const std::optional<std::string> ids[] = {"late", "hours", "days", "week", std::nullopt, "gone"};
         const auto& id : ids)
        shown.shownAssessmentID = id, classes += urgencyClass(shown, db, now, false) + " ";
    EXPECT_EQ(classes + urgencyClass(shown, db, now, true), "overdue urgent soon overdue idle idle error");
}
