// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"

// ICU's "icu" is a namespace alias of a versioned namespace, so its classes cannot be
// forward-declared as icu::X.
#include <memory>
#include <string>
#include <string_view>
#include <unicode/timezone.h>
#include <vector>

namespace vantory {

// The school's time zone, in which calendar days, wall-clock times and the site's availability
// texts are read. The ICU zone is immutable and shared between copies, so a copy costs a
// reference count; creating one from an id costs an ICU lookup, so callers create it once per
// operation and pass it down.
class Zone {
public:
    static constexpr const char* defaultID = "America/Vancouver";

    // The default zone.
    Zone();
    // The zone of an IANA id. An id ICU does not know as a system zone (a typo in a hand-edited
    // file, a custom "GMT+3") is the default zone, so a stored text can never break dates.
    explicit Zone(std::string_view id);

    const icu::TimeZone& timeZone() const { return *timeZone_; }
    // ICU's canonical id ("America/Vancouver" for "Canada/Pacific"): printable ASCII only.
    const std::string& id() const { return id_; }
    // The zone's city in English ("Vancouver"), or its id when ICU names none.
    std::string city() const;
    // The zone's short name at instant in US English ("PDT"), or its offset where that has no
    // letters ("GMT+9").
    std::string abbreviation(Instant instant) const;

    bool operator==(const Zone& other) const { return id_ == other.id_; }

private:
    std::shared_ptr<const icu::TimeZone> timeZone_;
    std::string id_;
};

// A zone the user can choose: a canonical location zone with its city in English and its short
// name at a moment. ICU keeps some older ids ("Asia/Calcutta"), whose city has the current name
// ("Kolkata").
struct ZoneChoice {
    std::string id;
    std::string city;
    std::string abbreviation;
};

// Every canonical location zone ICU knows, ordered by id, with its short name at now.
std::vector<ZoneChoice> zoneChoices(Instant now);

} // namespace vantory
