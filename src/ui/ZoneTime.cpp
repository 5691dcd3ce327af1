// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ZoneTime.h"

#include <cmath>
#include <memory>
#include <unicode/gregocal.h>

namespace vantory::ZoneTime {

namespace {

std::unique_ptr<icu::GregorianCalendar> zoneCalendar(const Zone& zone)
{
    UErrorCode status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(zone.timeZone(), status);
    // Proleptic Gregorian, as QDate counts.
    calendar->setGregorianChange(-HUGE_VAL, status);
    calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    calendar->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
    return calendar;
}

} // namespace

QDateTime wallClock(Instant instant, const Zone& zone)
{
    auto calendar = zoneCalendar(zone);
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(std::floor(secondsSince1970(instant)) * 1000.0, status);
    const auto field = [&](UCalendarDateFields name) { return calendar->get(name, status); };
    const QDate date(field(UCAL_EXTENDED_YEAR), field(UCAL_MONTH) + 1, field(UCAL_DATE));
    const QTime time(field(UCAL_HOUR_OF_DAY), field(UCAL_MINUTE), field(UCAL_SECOND));
    return QDateTime(date, time, Qt::UTC);
}

Instant instant(const QDateTime& wallClock, const Zone& zone)
{
    auto calendar = zoneCalendar(zone);
    const QDate date = wallClock.date();
    const QTime time = wallClock.time();
    calendar->clear();
    calendar->set(UCAL_EXTENDED_YEAR, date.year());
    calendar->set(UCAL_MONTH, date.month() - 1);
    calendar->set(UCAL_DATE, date.day());
    calendar->set(UCAL_HOUR_OF_DAY, time.hour());
    calendar->set(UCAL_MINUTE, time.minute());
    calendar->set(UCAL_SECOND, time.second());
    UErrorCode status = U_ZERO_ERROR;
    const UDate millis = calendar->getTime(status);
    return instantFromSeconds(millis / 1000.0);
}

} // namespace vantory::ZoneTime
