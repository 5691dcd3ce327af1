#include "model/Dates.h"

#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace vantory {
namespace {

constexpr double hour = 3600;
// 2025-09-08 14:00 in Vancouver (PDT), 21:00 UTC.
constexpr double mondaySeptember8 = 1757365200;
// 2025-12-04 07:59 UTC, still Wednesday 3 December 23:59 in Vancouver (PST).
constexpr double lateWednesdayDecember3 = 1764835140;

struct ParseCase {
    const char* text;
    std::optional<double> seconds;
};

constexpr const char* vancouver = "America/Vancouver";
constexpr const char* toronto = "America/Toronto";
constexpr const char* berlin = "Europe/Berlin";
constexpr const char* seoul = "Asia/Seoul";

std::optional<double> seconds(std::optional<Instant> instant)
{
    return instant ? std::optional(secondsSince1970(*instant)) : std::nullopt;
}

// Makes Tokyo the ICU default zone, so results that depend on the default zone show up.
struct TokyoAsDefaultZone {
    std::unique_ptr<icu::TimeZone> previous{icu::TimeZone::createDefault()};
    TokyoAsDefaultZone() { icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("Asia/Tokyo")); }
    ~TokyoAsDefaultZone() { icu::TimeZone::adoptDefault(previous.release()); }
};

TEST(DatesTest, ExactTakesTheOffsetFromTheAbbreviationAndRejectsAnyOtherForm)
{
    const ParseCase cases[] = {
        {"2025-09-08 14:00:00 (PDT)", mondaySeptember8},
        {"2025-09-08 14:00:00 (PST)", mondaySeptember8 + hour},
        {"2025-09-08 21:00:00 (UTC)", mondaySeptember8},
        {"2025-09-08 21:00:00 (GMT)", mondaySeptember8},
        {" \t2025-09-08 14:00:00 (PDT)\r\n", mondaySeptember8},
        {"2024-02-29 12:00:00 (UTC)", 1709208000},
        {"2025-09-08 14:00:00 (pdt)", std::nullopt},
        {"2025-09-08 14:00:00 (JST)", std::nullopt},
        {"2025-09-08 4:00:00 (PDT)", std::nullopt},
        {"2025-09-08 14:00:00 (PDT) extra", std::nullopt},
        {"2025-13-01 14:00:00 (PDT)", std::nullopt},
        {"2025-02-29 14:00:00 (PDT)", std::nullopt},
        {"2025-09-08 24:00:00 (PDT)", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        EXPECT_EQ(seconds(Dates::exact(testCase.text)), testCase.seconds);
    }
}

TEST(DatesTest, ZoneIsICUsCanonicalZoneAndAnyOtherTextTheDefault)
{
    const struct {
        const char* stored;
        const char* id;
        const char* city;
    } cases[] = {
        {"America/Vancouver", "America/Vancouver", "Vancouver"},
        {"Canada/Eastern", "America/Toronto", "Toronto"},
        {"Asia/Seoul", "Asia/Seoul", "Seoul"},
        {"", "America/Vancouver", "Vancouver"},
        {"Mars/Olympus", "America/Vancouver", "Vancouver"},
        {"GMT+3", "America/Vancouver", "Vancouver"},
        {"Etc/Unknown", "America/Vancouver", "Vancouver"},
        {"Asia/Seoul\r\nX:1", "America/Vancouver", "Vancouver"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.stored);
        const Zone zone(testCase.stored);
        EXPECT_EQ(zone.id(), testCase.id);
        EXPECT_EQ(zone.city(), testCase.city);
    }
    EXPECT_EQ(Zone().abbreviation(instantFromSeconds(mondaySeptember8)), "PDT");
    EXPECT_EQ(Zone().abbreviation(instantFromSeconds(lateWednesdayDecember3)), "PST");
    EXPECT_EQ(Zone("America/Toronto").abbreviation(instantFromSeconds(lateWednesdayDecember3)), "EST");
    EXPECT_EQ(Zone("Asia/Seoul").abbreviation(instantFromSeconds(mondaySeptember8)), "GMT+9");
}

TEST(DatesTest, ReleaseReadsTheAvailabilityTextInTheSchoolZoneOfTheGivenYear)
{
    const struct {
        const char* zone;
        const char* text;
        std::optional<double> seconds;
    } cases[] = {
        {vancouver, "Available 14:00, Mon, Sep 8", mondaySeptember8},
        {vancouver, "Available 14:00, Mon, Dec 8", 1765231200}, // standard time: 22:00 UTC
        {vancouver, "Available 14:00, Fri, Sep 8", mondaySeptember8}, // a wrong weekday: month and day win
        {vancouver, "Not yet available", std::nullopt},
        {vancouver, "available 14:00, Mon, Sep 8", std::nullopt},
        {vancouver, "Available 14:00, Mon, Sep 31", std::nullopt},
        {vancouver, "Available 14:00, Mon, Sep 8 (PDT)", std::nullopt},
        {"Mars/Olympus", "Available 14:00, Mon, Sep 8", mondaySeptember8},
        // Toronto springs forward at 02:00 on 9 March 2025 and falls back at 02:00 on 2 November.
        {toronto, "Available 01:59, Sun, Mar 9", 1741503540},
        {toronto, "Available 03:00, Sun, Mar 9", 1741503600},
        {toronto, "Available 02:30, Sun, Mar 9", std::nullopt}, // a time that day does not have
        {toronto, "Available 01:30, Sun, Nov 2", 1762065000}, // the repeated hour: the later, never early
        // Berlin springs forward at 02:00 on 30 March and falls back at 03:00 on 26 October.
        {berlin, "Available 01:59, Sun, Mar 30", 1743296340},
        {berlin, "Available 03:00, Sun, Mar 30", 1743296400},
        {berlin, "Available 02:30, Sun, Oct 26", 1761442200}, // CET
        {seoul, "Available 14:00, Mon, Sep 8", 1757307600},
        {seoul, "Available 02:30, Sun, Mar 9", 1741455000},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(std::string(testCase.zone) + " " + testCase.text);
        EXPECT_EQ(seconds(Dates::release(testCase.text, 2025, Zone(testCase.zone))), testCase.seconds);
    }
}

TEST(DatesTest, DisplayFormatsInKoreanInTheSchoolZoneWhateverTheDefaultZone)
{
    const TokyoAsDefaultZone tokyo;
    const struct {
        const char* zone;
        double seconds;
        const char* format;
        const char* expected;
    } cases[] = {
        {vancouver, lateWednesdayDecember3, Dates::defaultDisplayFormat, "12월 3일 (수) 23:59 GMT-8"},
        {vancouver, mondaySeptember8, Dates::defaultDisplayFormat, "9월 8일 (월) 14:00 GMT-7"},
        {vancouver, lateWednesdayDecember3, "M/d HH:mm", "12/3 23:59"},
        {vancouver, lateWednesdayDecember3, "M월 d일 EEEE", "12월 3일 수요일"},
        {toronto, 1741503599, Dates::defaultDisplayFormat, "3월 9일 (일) 01:59 GMT-5"},
        {toronto, 1741503600, Dates::defaultDisplayFormat, "3월 9일 (일) 03:00 GMT-4"},
        {berlin, 1743296399, Dates::defaultDisplayFormat, "3월 30일 (일) 01:59 GMT+1"},
        {berlin, 1743296400, Dates::defaultDisplayFormat, "3월 30일 (일) 03:00 GMT+2"},
        {seoul, lateWednesdayDecember3, Dates::defaultDisplayFormat, "12월 4일 (목) 16:59 GMT+9"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(std::string(testCase.zone) + " " + std::to_string(testCase.seconds));
        EXPECT_EQ(Dates::display(instantFromSeconds(testCase.seconds), Zone(testCase.zone), testCase.format),
            testCase.expected);
    }
}

TEST(DatesTest, RemainingDropsLeftoverSecondsAndSplitsIntoDaysHoursMinutes)
{
    const struct {
        double seconds;
        const char* expected;
    } cases[] = {
        {0, "마감"},
        {-3600, "마감"},
        {std::numeric_limits<double>::quiet_NaN(), "마감"},
        {59.9, "<1m"},
        {60, "1m"},
        {3599, "59m"},
        {3600, "1h0m"},
        {3659.9, "1h0m"},
        {86399, "23h59m"},
        {86400, "1d 0h0m"},
        {102000, "1d 4h20m"},
        {1e300, "694444444444d 10h40m"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.seconds);
        EXPECT_EQ(Dates::remaining(testCase.seconds), testCase.expected);
    }
}

TEST(DatesTest, CalendarStartsWeeksOnMondayAtMidnightInItsZoneWhateverTheDefaultZone)
{
    const TokyoAsDefaultZone tokyo;
    const std::unique_ptr<icu::Calendar> calendar = Dates::calendar(Zone());
    ASSERT_NE(calendar, nullptr);
    UErrorCode status = U_ZERO_ERROR;
    EXPECT_EQ(calendar->getFirstDayOfWeek(status), UCAL_MONDAY);

    // 2025-12-08 07:30 UTC is Monday in Tokyo and UTC but still Sunday 7 December in Vancouver,
    // so the start of its week is Monday 1 December at Vancouver midnight (08:00 UTC).
    calendar->setTime(1765179000 * 1000.0, status);
    EXPECT_EQ(calendar->get(UCAL_DAY_OF_WEEK, status), UCAL_SUNDAY);
    calendar->set(UCAL_DAY_OF_WEEK, UCAL_MONDAY);
    for (UCalendarDateFields field : {UCAL_HOUR_OF_DAY, UCAL_MINUTE, UCAL_SECOND, UCAL_MILLISECOND})
        calendar->set(field, 0);
    EXPECT_EQ(calendar->getTime(status), 1764576000 * 1000.0);
    EXPECT_TRUE(U_SUCCESS(status));
}

TEST(DatesTest, DayNumberChangesAtMidnightInTheSchoolZoneAcrossDaylightSavingChanges)
{
    const TokyoAsDefaultZone tokyo;
    // 2025-12-07 is day 20429 since 1970; Vancouver midnight is 08:00 UTC in winter.
    const double december7 = 1765065600 + 8 * 3600;
    // 2025-11-02 in Vancouver, the night the clocks go back, lasts 25 hours from 07:00 UTC.
    const double november2 = 1762041600 + 7 * 3600;
    const struct {
        const char* zone;
        double seconds;
        std::int64_t day;
    } cases[] = {
        {vancouver, december7, 20429},
        {vancouver, december7 - 1, 20428},
        {vancouver, december7 + 86399, 20429},
        {vancouver, november2, 20394},
        {vancouver, november2 + 25 * hour - 1, 20394},
        {vancouver, november2 + 25 * hour, 20395},
        // 2025-03-09 in Toronto lasts 23 hours, from 05:00 UTC.
        {toronto, 1741496400 - 1, 20155},
        {toronto, 1741496400, 20156},
        {toronto, 1741496400 + 23 * hour - 1, 20156},
        {toronto, 1741496400 + 23 * hour, 20157},
        // 2025-10-26 in Berlin lasts 25 hours, from 22:00 UTC the day before.
        {berlin, 1761429600 - 1, 20386},
        {berlin, 1761429600, 20387},
        {berlin, 1761429600 + 25 * hour - 1, 20387},
        {berlin, 1761429600 + 25 * hour, 20388},
        // Seoul's day starts at 15:00 UTC the day before, all year.
        {seoul, 1757257200 - 1, 20338},
        {seoul, 1757257200, 20339},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(std::string(testCase.zone) + " " + std::to_string(testCase.seconds));
        EXPECT_EQ(Dates::dayNumber(instantFromSeconds(testCase.seconds), Zone(testCase.zone)), testCase.day);
    }
    const Zone zone;
    EXPECT_EQ(Dates::dayNumber(instantFromSeconds(std::numeric_limits<double>::max()), zone),
        Dates::dayNumber(instantFromSeconds(std::numeric_limits<double>::infinity()), zone));
}

} // namespace
} // namespace vantory
