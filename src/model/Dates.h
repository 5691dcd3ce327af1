#pragma once

#include "model/Instant.h"

// ICU's "icu" is a namespace alias of a versioned namespace, so its classes cannot be
// forward-declared as icu::X; callers of calendar() need the complete type anyway.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unicode/calendar.h>
#include <unicode/timezone.h>

// Every calendar computation of the application happens in one fixed zone, America/Vancouver.
namespace vantory::Dates {

inline constexpr const char* zoneID = "America/Vancouver";
inline constexpr const char* defaultZoneID = zoneID;
inline constexpr const char* defaultDisplayFormat = "M월 d일 (EEE) HH:mm z";

// The fixed zone, created once and shared.
const icu::TimeZone& zone();

// A fresh Gregorian calendar in the fixed zone whose weeks start on Monday.
std::unique_ptr<icu::Calendar> calendar();

// The calendar day of an instant in the fixed zone, as days since 1970-01-01: equal numbers are
// the same day. Cheaper than a calendar for thousands of items.
std::int64_t dayNumber(Instant instant);

// Reads "2025-09-08 14:00:00 (PDT)": the offset comes from the abbreviation alone.
std::optional<Instant> exact(const std::string& text);

// Reads the availability text "Available 14:00, Mon, Sep 8" in the fixed zone of the given year.
std::optional<Instant> release(const std::string& text, std::int64_t year);

// Formats an instant with an ICU pattern, the Korean locale and the fixed zone.
std::string display(Instant instant, const std::string& format = defaultDisplayFormat);

// The short remaining-time text: "마감", "<1m", "45m", "23h59m", "1d 4h20m".
std::string remaining(double seconds);

} // namespace vantory::Dates
