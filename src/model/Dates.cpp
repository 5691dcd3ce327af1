// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Dates.h"

#include "model/UnicodeText.h"
#include "model/Wording.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/parsepos.h>
#include <unicode/regex.h>
#include <unicode/simpletz.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace vantory::Dates {

namespace {

constexpr double millisecondsPerSecond = 1000.0;
constexpr std::int32_t millisecondsPerHour = 3600 * 1000;

// The site prints these abbreviations; each stands for one fixed offset, whatever the date.
struct ZoneAbbreviation {
    std::string_view name;
    int hoursFromUTC;
};
constexpr std::array<ZoneAbbreviation, 10> abbreviations{{
    {"PDT", -7},
    {"PST", -8},
    {"UTC", 0},
    {"GMT", 0},
    {"CDT", -5},
    {"CST", -6},
    {"EDT", -4},
    {"EST", -5},
    {"MDT", -6},
    {"MST", -7},
}};

const char* const exactExpression
    = R"(^(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}) \((PDT|PST|UTC|GMT|CDT|CST|EDT|EST|MDT|MST)\)$)";

icu::UnicodeString fromUTF8(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
}

Instant instantFromUDate(UDate date)
{
    return instantFromSeconds(date / millisecondsPerSecond);
}

// Parses the whole text strictly: a lenient parser, or one that stops early, would accept
// month 13, the 31st of a 30-day month or trailing text.
std::optional<Instant> parseStrictly(const icu::UnicodeString& text, const char* pattern, const icu::TimeZone& zone)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(icu::UnicodeString(pattern, -1, US_INV), icu::Locale("en_US_POSIX"), status);
    if (U_FAILURE(status))
        return std::nullopt;
    format.setTimeZone(zone);
    format.setLenient(false);

    icu::ParsePosition position(0);
    const UDate date = format.parse(text, position);
    if (position.getErrorIndex() != -1 || position.getIndex() != text.length())
        return std::nullopt;
    return instantFromUDate(date);
}

} // namespace

std::unique_ptr<icu::Calendar> calendar(const Zone& zone)
{
    UErrorCode status = U_ZERO_ERROR;
    // The root locale keeps week rules independent of the machine's locale.
    auto gregorian = std::make_unique<icu::GregorianCalendar>(zone.timeZone(), icu::Locale::getRoot(), status);
    if (U_FAILURE(status))
        return nullptr;
    gregorian->setFirstDayOfWeek(UCAL_MONDAY);
    return gregorian;
}

namespace {

// Seconds since 1970 on the zone's wall clock.
double localSeconds(Instant instant, const Zone& zone)
{
    const double seconds = secondsSince1970(instant);
    std::int32_t rawOffset = 0;
    std::int32_t dstOffset = 0;
    UErrorCode status = U_ZERO_ERROR;
    zone.timeZone().getOffset(seconds * millisecondsPerSecond, false, rawOffset, dstOffset, status);
    return seconds + (U_SUCCESS(status) ? (rawOffset + dstOffset) / millisecondsPerSecond : 0.0);
}

} // namespace

std::int64_t dayNumber(Instant instant, const Zone& zone)
{
    // Dates the state file cannot hold (non-finite, beyond any calendar) share one day far away
    // rather than overflowing the conversion.
    constexpr double limit = 1e12;
    const double days = std::floor(localSeconds(instant, zone) / 86400.0);
    return std::isfinite(days) ? static_cast<std::int64_t>(std::clamp(days, -limit, limit))
                               : static_cast<std::int64_t>(limit);
}

std::string monthDayTime(Instant instant, const Zone& zone)
{
    // Within these years ICU's calendar is the proleptic Gregorian one std::chrono counts.
    constexpr double from1700 = -8520336000.0;
    constexpr double to10000 = 253402300800.0;
    const double local = localSeconds(instant, zone);
    if (!(local >= from1700 && local < to10000))
        return display(instant, zone, "M/d HH:mm");
    const double days = std::floor(local / 86400.0);
    const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(static_cast<std::int64_t>(days)))};
    const auto minutes = static_cast<int>(std::floor((local - days * 86400.0) / 60.0));
    std::array<char, 16> text{};
    const int length = std::snprintf(text.data(), text.size(), "%u/%u %02d:%02d", unsigned(date.month()),
        unsigned(date.day()), minutes / 60, minutes % 60);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

std::optional<Instant> exact(const std::string& text)
{
    const icu::UnicodeString input = fromUTF8(UnicodeText::trimmed(text));

    UErrorCode status = U_ZERO_ERROR;
    icu::RegexMatcher matcher(icu::UnicodeString(exactExpression, -1, US_INV), input, 0, status);
    if (U_FAILURE(status) || !matcher.matches(status) || U_FAILURE(status))
        return std::nullopt;
    const icu::UnicodeString dateTime = matcher.group(1, status);
    std::string abbreviation;
    matcher.group(2, status).toUTF8String(abbreviation);
    if (U_FAILURE(status))
        return std::nullopt;

    const auto entry = std::find_if(abbreviations.begin(), abbreviations.end(),
        [&](const ZoneAbbreviation& candidate) { return candidate.name == abbreviation; });
    if (entry == abbreviations.end())
        return std::nullopt;
    const icu::SimpleTimeZone offsetZone(entry->hoursFromUTC * millisecondsPerHour, fromUTF8(entry->name));
    return parseStrictly(dateTime, "yyyy-MM-dd HH:mm:ss", offsetZone);
}

std::optional<Instant> release(const std::string& text, std::int64_t year, const Zone& zone)
{
    constexpr std::string_view prefix = "Available ";
    if (!text.starts_with(prefix))
        return std::nullopt;
    const std::string withYear = std::to_string(year) + " " + text.substr(prefix.size());
    return parseStrictly(fromUTF8(withYear), "yyyy HH:mm, EEE, MMM d", zone.timeZone());
}

std::string display(Instant instant, const Zone& zone)
{
    return display(instant, zone, wording().dateFormat);
}

std::string display(Instant instant, const Zone& zone, const std::string& format)
{
    std::string result;
    Formatter(zone, format).append(result, instant);
    return result;
}

Formatter::Formatter(const Zone& zone)
    : Formatter(zone, wording().dateFormat)
{
}

Formatter::Formatter(const Zone& zone, const std::string& format)
{
    UErrorCode status = U_ZERO_ERROR;
    auto formatter
        = std::make_unique<icu::SimpleDateFormat>(fromUTF8(format), icu::Locale(wording().icuLocale), status);
    if (U_FAILURE(status))
        return;
    formatter->setTimeZone(zone.timeZone());
    formatter_ = std::move(formatter);
}

Formatter::~Formatter() = default;

void Formatter::append(std::string& text, Instant instant) const
{
    // A pattern ICU refused formats as nothing.
    if (!formatter_)
        return;
    icu::UnicodeString formatted;
    formatter_->format(secondsSince1970(instant) * millisecondsPerSecond, formatted);
    formatted.toUTF8String(text);
}

std::string remaining(double seconds)
{
    // NaN compares false, so it lands here too instead of reaching the integer conversion.
    if (!(seconds > 0))
        return std::string(wording().dueNow);
    if (seconds < 60)
        return "<1m";

    // Capped so the conversion stays inside std::int64_t (about 1.9 billion years).
    constexpr double maximumMinutes = 1e15;
    const auto minutes = static_cast<std::int64_t>(std::min(std::trunc(seconds / 60), maximumMinutes));
    const std::int64_t days = minutes / 1440;
    const std::int64_t hours = minutes % 1440 / 60;
    const std::int64_t leftoverMinutes = minutes % 60;

    if (minutes < 60)
        return std::to_string(leftoverMinutes) + "m";
    const std::string hoursAndMinutes = std::to_string(hours) + "h" + std::to_string(leftoverMinutes) + "m";
    if (minutes < 1440)
        return hoursAndMinutes;
    return std::to_string(days) + "d " + hoursAndMinutes;
}

} // namespace vantory::Dates
