// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Dates.h"

#include "model/UnicodeText.h"

#include <gtest/gtest.h>
#include <random>

using namespace vantory;

namespace {

// 2025-09-08 14:00 in Vancouver (PDT, 21:00 UTC); 2025-12-04 07:59 UTC, still Wednesday 23:59 there (PST).
constexpr double hour = 3600, mondaySeptember8 = 1757365200, lateWednesdayDecember3 = 1764835140;
const std::string vancouver = "America/Vancouver", toronto = "America/Toronto", seoul = "Asia/Seoul";

const auto seconds = [](std::optional<Instant> at) { return at ? std::optional(secondsSince1970(*at)) : std::nullopt; };

// Makes Tokyo the ICU default zone, so results that depend on the default zone show up.
struct TokyoAsDefaultZone {
    std::unique_ptr<icu::TimeZone> previous{icu::TimeZone::createDefault()};
    TokyoAsDefaultZone() { icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("Asia/Tokyo")); }
    ~TokyoAsDefaultZone() { icu::TimeZone::adoptDefault(previous.release()); }
};

} // namespace

TEST(DatesTest, ExactTakesTheOffsetFromTheAbbreviationAndReleaseTheSchoolZoneOfTheGivenYear)
{
    const std::pair<const char*, std::optional<double>> cases[] = {{"2025-09-08 14:00:00 (PDT)", mondaySeptember8},
        {"2025-09-08 14:00:00 (PST)", mondaySeptember8 + hour}, {"2025-09-08 21:00:00 (GMT)", mondaySeptember8},
        {" \t2025-09-08 14:00:00 (PDT)\r\n", mondaySeptember8}, {"2024-02-29 12:00:00 (UTC)", 1709208000},
        {"2025-09-08 14:00:00 (pdt)", {}}, {"2025-09-08 14:00:00 (JST)", {}}, {"2025-09-08 4:00:00 (PDT)", {}},
        {"2025-09-08 14:00:00 (PDT) extra", {}}, {"2025-02-29 14:00:00 (PDT)", {}}, {"2025-09-08 24:00:00 (PDT)", {}}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(seconds(Dates::exact(text)), expected) << text;
    // Around the clock changes a missing time is none and a repeated hour the later; the weekday yields.
    const std::tuple<std::string, const char*, std::optional<double>> releases[]
        = {{vancouver, "Available 14:00, Mon, Sep 8", mondaySeptember8},
            {vancouver, "Available 14:00, Mon, Dec 8", 1765231200},
            {vancouver, "Available 14:00, Fri, Sep 8", mondaySeptember8}, {vancouver, "Not yet available", {}},
            {vancouver, "available 14:00, Mon, Sep 8", {}}, {vancouver, "Available 14:00, Mon, Sep 31", {}},
            {vancouver, "Available 14:00, Mon, Sep 8 (PDT)", {}}, {toronto, "Available 01:59, Sun, Mar 9", 1741503540},
            {toronto, "Available 03:00, Sun, Mar 9", 1741503600}, {toronto, "Available 02:30, Sun, Mar 9", {}},
            {toronto, "Available 01:30, Sun, Nov 2", 1762065000}, {seoul, "Available 14:00, Mon, Sep 8", 1757307600},
            {seoul, "Available 02:30, Sun, Mar 9", 1741455000}};
    for (const auto& [zone, text, expected] : releases)
        EXPECT_EQ(seconds(Dates::release(text, 2025, Zone(zone))), expected) << zone << " " << text;
}

TEST(DatesTest, ZonesDisplayAndDaysFollowTheSchoolZoneWhateverTheDefaultZoneAndRemainingCountsDaysHoursMinutes)
{
    const std::pair<const char*, std::string> zones[] = {{"Canada/Eastern", toronto}, {"Asia/Seoul", seoul},
        {"", vancouver}, {"GMT+3", vancouver}, {"Etc/Unknown", vancouver}};
    for (const auto& [stored, id] : zones)
        EXPECT_EQ(Zone(stored).id(), id) << stored;
    EXPECT_EQ(Zone("Canada/Eastern").city() + " " + Zone("x").city(), "Toronto Vancouver");
    EXPECT_EQ(Zone().abbreviation(instantFromSeconds(mondaySeptember8)) + " "
            + Zone().abbreviation(instantFromSeconds(lateWednesdayDecember3)) + " "
            + Zone(seoul).abbreviation(instantFromSeconds(mondaySeptember8)),
        "PDT PST GMT+9");
    const TokyoAsDefaultZone tokyo;
    const std::tuple<std::string, double, const char*> cases[]
        = {{vancouver, lateWednesdayDecember3, "12월 3일 (수) 23:59 GMT-8"},
            {vancouver, mondaySeptember8, "9월 8일 (월) 14:00 GMT-7"},
            {toronto, 1741503599, "3월 9일 (일) 01:59 GMT-5"}, {toronto, 1741503600, "3월 9일 (일) 03:00 GMT-4"},
            {seoul, lateWednesdayDecember3, "12월 4일 (목) 16:59 GMT+9"}};
    for (const auto& [zone, at, expected] : cases)
        EXPECT_EQ(Dates::display(instantFromSeconds(at), Zone(zone)), expected) << zone << at;
    EXPECT_EQ(Dates::display(instantFromSeconds(lateWednesdayDecember3), Zone(), "M월 d일 EEEE"), "12월 3일 수요일");
    // The remaining time drops leftover seconds.
    const std::pair<double, const char*> remaining[] = {{0, "마감"}, {-3600, "마감"},
        {std::numeric_limits<double>::quiet_NaN(), "마감"}, {59.9, "<1m"}, {60, "1m"}, {3599, "59m"}, {3600, "1h0m"},
        {3659.9, "1h0m"}, {86399, "23h59m"}, {86400, "1d 0h0m"}, {102000, "1d 4h20m"}, {1e300, "694444444444d 10h40m"}};
    for (const auto& [left, expected] : remaining)
        EXPECT_EQ(Dates::remaining(left), expected) << left;
    // Midnights in UTC; 2 November lasts 25 hours in Vancouver, 9 March 23 in Toronto.
    const double december7 = 1765094400, november2 = 1762066800, march9 = 1741496400;
    const std::tuple<std::string, double, std::int64_t> days[]
        = {{vancouver, december7, 20429}, {vancouver, december7 - 1, 20428}, {vancouver, november2, 20394},
            {vancouver, november2 + 25 * hour - 1, 20394}, {vancouver, november2 + 25 * hour, 20395},
            {toronto, march9 - 1, 20155}, {toronto, march9, 20156}, {toronto, march9 + 23 * hour - 1, 20156},
            {toronto, march9 + 23 * hour, 20157}, {seoul, 1757257200 - 1, 20338}, {seoul, 1757257200, 20339}};
    for (const auto& [zone, at, day] : days)
        EXPECT_EQ(Dates::dayNumber(instantFromSeconds(at), Zone(zone)), day) << zone << " " << at;
    EXPECT_EQ(Dates::dayNumber(instantFromSeconds(std::numeric_limits<double>::max()), Zone()),
        Dates::dayNumber(instantFromSeconds(std::numeric_limits<double>::infinity()), Zone()));
}

// The short form built by hand reads as ICU's own at clock changes, across years, before 1970 and
// where it leaves the work to ICU.
TEST(DatesTest, MonthDayTimeReadsAsIcusPattern)
{
    std::vector<double> instants{1741503599, 1741503600, 1762066800 + 3599, 1762066800 + 3600, -1.5,
        -86400 * 365.25 * 60, -1e10, 2.6e11, 1e15, -1e15, std::numeric_limits<double>::quiet_NaN()};
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 500; ++i)
        instants.push_back(std::uniform_real_distribution(-3e9, 5e9)(random));
    for (const std::string& zone : {vancouver, toronto, seoul, std::string("Asia/Kolkata")})
        for (const double at : instants)
            ASSERT_EQ(Dates::monthDayTime(instantFromSeconds(at), Zone(zone)),
                Dates::display(instantFromSeconds(at), Zone(zone), "M/d HH:mm"))
                << zone << " " << std::fixed << at;
}

TEST(UnicodeTextTest, LowercasesCountsUTF16UnitsAndComparesByValueIgnoringCaseInThePosixLocale)
{
    // Root mapping keeps the dot of İ; final sigma depends on context.
    const std::tuple<const char*, const char*, std::size_t> cases[]
        = {{"ÉCOLE", "école", 5}, {"İ", "i\u0307", 1}, {"ΣΑΣ", "σας", 3}, {"😀", "😀", 2}};
    for (const auto& [text, lowercased, units] : cases) {
        EXPECT_EQ(UnicodeText::lowercased(text), lowercased);
        EXPECT_EQ(UnicodeText::utf16Length(text), units) << text;
    }
    // The collator is made on first use: in the POSIX locale it must not fall back to ASCII order.
    const icu::Locale previous = icu::Locale::getDefault();
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("en_US_POSIX"), status);
    const std::tuple<const char*, const char*, int> comparisons[]
        = {{"Quiz 2", "quiz 10", -1}, {"abc", "ABC", 0}, {"B", "a", 1}, {"e", "é", -1}, {"", "a", -1},
            {"Homework 7: a title long enough to outgrow a first guess at its key", "homework 7: A TITLE", 1},
            {"과제 2", "과제 10", -1}};
    // Collation keys order the texts the same way, byte by byte.
    for (const auto& [left, right, sign] : comparisons) {
        const int result = UnicodeText::compareLocalized(left, right);
        EXPECT_EQ((result > 0) - (result < 0), sign) << left << " vs " << right;
        const int keys = UnicodeText::collationKey(left).compare(UnicodeText::collationKey(right));
        EXPECT_EQ((keys > 0) - (keys < 0), sign) << left << " vs " << right;
    }
    icu::Locale::setDefault(previous, status);
}
