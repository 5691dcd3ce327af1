// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"
#include "model/Zone.h"

// ICU's "icu" is a namespace alias of a versioned namespace, so its classes cannot be
// forward-declared as icu::X; callers of calendar() need the complete type anyway.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>

// Calendar computations in the school's zone, which every caller passes in (Settings::zone()).
namespace vantory::Dates {

// A fresh Gregorian calendar in zone whose weeks start on Monday.
std::unique_ptr<icu::Calendar> calendar(const Zone& zone);

// The calendar day of an instant in zone, as days since 1970-01-01: equal numbers are the same
// day. Cheaper than a calendar for thousands of items.
std::int64_t dayNumber(Instant instant, const Zone& zone);

// Reads "2025-09-08 14:00:00 (PDT)": the offset comes from the abbreviation alone.
std::optional<Instant> exact(const std::string& text);

// Reads the availability text "Available 14:00, Mon, Sep 8" of the given year: the site prints it
// without a zone, in the school's.
std::optional<Instant> release(const std::string& text, std::int64_t year, const Zone& zone);

// Formats an instant in zone with an ICU pattern, by default the language's own, and the language's
// locale: "12월 6일 (토) 17:58 GMT-8", "Dec 6 (Sat) 17:58 PST".
std::string display(Instant instant, const Zone& zone);
std::string display(Instant instant, const Zone& zone, const std::string& format);

// display(instant, zone, "M/d HH:mm") without building an ICU formatter, which costs more than a
// short-lived process's whole line: the digits read the same in every language.
std::string monthDayTime(Instant instant, const Zone& zone);

// display() for many instants: the ICU formatter is built once, which costs far more than
// formatting with it.
class Formatter {
public:
    explicit Formatter(const Zone& zone);
    Formatter(const Zone& zone, const std::string& format);
    ~Formatter();
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    // Appends the text display() returns for instant.
    void append(std::string& text, Instant instant) const;

private:
    std::unique_ptr<icu::SimpleDateFormat> formatter_;
};

// The short remaining-time text: "마감" (or the language's word), "<1m", "45m", "23h59m", "1d 4h20m".
std::string remaining(double seconds);

} // namespace vantory::Dates
