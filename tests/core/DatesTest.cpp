#include "model/Dates.h"

#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <optional>

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

TEST(DatesTest, ReleaseReadsTheAvailabilityTextInVancouverTimeOfTheGivenYear)
{
    const ParseCase cases[] = {
        {"Available 14:00, Mon, Sep 8", mondaySeptember8},
        {"Available 14:00, Mon, Dec 8", 1765231200}, // standard time: 22:00 UTC
        {"Available 14:00, Fri, Sep 8", mondaySeptember8}, // a wrong weekday: month and day win
        {"Not yet available", std::nullopt},
        {"available 14:00, Mon, Sep 8", std::nullopt},
        {"Available 14:00, Mon, Sep 31", std::nullopt},
        {"Available 14:00, Mon, Sep 8 (PDT)", std::nullopt},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        EXPECT_EQ(seconds(Dates::release(testCase.text, 2025)), testCase.seconds);
    }
}

TEST(DatesTest, DisplayFormatsInKoreanInVancouverWhateverTheDefaultZone)
{
    const TokyoAsDefaultZone tokyo;
    const Instant late = instantFromSeconds(lateWednesdayDecember3);
    EXPECT_EQ(Dates::display(late), "12월 3일 (수) 23:59 GMT-8");
    EXPECT_EQ(Dates::display(instantFromSeconds(mondaySeptember8)), "9월 8일 (월) 14:00 GMT-7");
    EXPECT_EQ(Dates::display(late, "M/d HH:mm"), "12/3 23:59");
    EXPECT_EQ(Dates::display(late, "M월 d일 EEEE"), "12월 3일 수요일");
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

TEST(DatesTest, CalendarStartsWeeksOnMondayAtVancouverMidnightWhateverTheDefaultZone)
{
    const TokyoAsDefaultZone tokyo;
    const std::unique_ptr<icu::Calendar> calendar = Dates::calendar();
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

TEST(DatesTest, DayNumberChangesAtVancouverMidnightAcrossDaylightSavingChanges)
{
    const TokyoAsDefaultZone tokyo;
    // 2025-12-07 is day 20429 since 1970; Vancouver midnight is 08:00 UTC in winter.
    const double december7 = 1765065600 + 8 * 3600;
    EXPECT_EQ(Dates::dayNumber(instantFromSeconds(december7)), 20429);
    EXPECT_EQ(Dates::dayNumber(instantFromSeconds(december7 - 1)), 20428);
    EXPECT_EQ(Dates::dayNumber(instantFromSeconds(december7 + 86399)), 20429);
    // 2025-11-02, the night the clocks go back, lasts 25 hours: 07:00 UTC to 08:00 UTC next day.
    const double november2 = 1762041600 + 7 * 3600;
    EXPECT_EQ(Dates::dayNumber(instantFromSeconds(november2)), 20394);
    EXPECT_EQ(Dates::dayNumber(instantFromSeconds(november2 + 25 * 3600 - 1)), 20394);
    EXPECT_EQ(Dates::dayNumber(instantFromSeconds(november2 + 25 * 3600)), 20395);
    EXPECT_EQ(Dates::dayNumber(instantFromSeconds(std::numeric_limits<double>::max())),
        Dates::dayNumber(instantFromSeconds(std::numeric_limits<double>::infinity())));
}

} // namespace
} // namespace vantory
