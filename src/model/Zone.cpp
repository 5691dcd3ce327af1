// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Zone.h"

#include <algorithm>
#include <cstdint>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/strenum.h>
#include <unicode/tznames.h>
#include <unicode/unistr.h>

namespace vantory {

namespace {

constexpr double millisecondsPerSecond = 1000.0;

std::string toUTF8(const icu::UnicodeString& text)
{
    std::string result;
    text.toUTF8String(result);
    return result;
}

const std::shared_ptr<const icu::TimeZone>& defaultTimeZone()
{
    static const std::shared_ptr<const icu::TimeZone> zone{
        icu::TimeZone::createTimeZone(icu::UnicodeString(Zone::defaultID, -1, US_INV))};
    return zone;
}

// "z" in US English: the letters Americans know ("PDT", "EST"), else the offset ("GMT+9").
std::unique_ptr<icu::SimpleDateFormat> shortNameFormat()
{
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(UNICODE_STRING_SIMPLE("z"), icu::Locale::getUS(), status);
    return U_SUCCESS(status) ? std::move(format) : nullptr;
}

std::unique_ptr<icu::TimeZoneNames> englishNames()
{
    UErrorCode status = U_ZERO_ERROR;
    // ICU caches the names per locale; an instance is a thin handle.
    std::unique_ptr<icu::TimeZoneNames> names{icu::TimeZoneNames::createInstance(icu::Locale::getEnglish(), status)};
    return U_SUCCESS(status) ? std::move(names) : nullptr;
}

std::string city(const icu::TimeZoneNames* names, const std::string& id)
{
    icu::UnicodeString city;
    if (names)
        names->getExemplarLocationName(icu::UnicodeString::fromUTF8(id), city);
    return city.isBogus() || city.isEmpty() ? id : toUTF8(city);
}

std::string shortName(icu::SimpleDateFormat& format, Instant instant)
{
    icu::UnicodeString name;
    format.format(secondsSince1970(instant) * millisecondsPerSecond, name);
    return toUTF8(name);
}

} // namespace

Zone::Zone()
    : timeZone_(defaultTimeZone())
    , id_(defaultID)
{
}

Zone::Zone(std::string_view id)
    : Zone()
{
    // No zone id comes near this; anything longer is not one.
    constexpr std::size_t longestID = 256;
    if (id.size() > longestID)
        return;
    UErrorCode status = U_ZERO_ERROR;
    UBool systemID = false;
    icu::UnicodeString canonical;
    icu::TimeZone::getCanonicalID(
        icu::UnicodeString::fromUTF8(icu::StringPiece(id.data(), static_cast<std::int32_t>(id.size()))), canonical,
        systemID, status);
    if (U_FAILURE(status) || !systemID)
        return;
    std::string canonicalID = toUTF8(canonical);
    if (canonicalID == defaultID)
        return;
    std::shared_ptr<const icu::TimeZone> created{icu::TimeZone::createTimeZone(canonical)};
    if (*created == icu::TimeZone::getUnknown())
        return;
    timeZone_ = std::move(created);
    id_ = std::move(canonicalID);
}

std::string Zone::city() const
{
    return vantory::city(englishNames().get(), id_);
}

std::string Zone::abbreviation(Instant instant) const
{
    const std::unique_ptr<icu::SimpleDateFormat> format = shortNameFormat();
    if (!format)
        return {};
    format->setTimeZone(*timeZone_);
    return shortName(*format, instant);
}

std::vector<ZoneChoice> zoneChoices(Instant now)
{
    std::vector<ZoneChoice> choices;
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::StringEnumeration> ids{
        icu::TimeZone::createTimeZoneIDEnumeration(UCAL_ZONE_TYPE_CANONICAL_LOCATION, nullptr, nullptr, status)};
    const std::unique_ptr<icu::SimpleDateFormat> format = shortNameFormat();
    const std::unique_ptr<icu::TimeZoneNames> names = englishNames();
    if (U_FAILURE(status) || !ids || !format)
        return choices;
    while (const icu::UnicodeString* id = ids->snext(status)) {
        if (U_FAILURE(status))
            break;
        format->adoptTimeZone(icu::TimeZone::createTimeZone(*id));
        std::string text = toUTF8(*id);
        std::string name = city(names.get(), text);
        choices.push_back({std::move(text), std::move(name), shortName(*format, now)});
    }
    std::sort(choices.begin(), choices.end(), [](const ZoneChoice& a, const ZoneChoice& b) { return a.id < b.id; });
    return choices;
}

} // namespace vantory
