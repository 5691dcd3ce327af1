// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "model/Database.h"
#include "model/Instant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The iCalendar (RFC 5545) text of an export: every deadline becomes a one-minute event at its
// effective due time. Pure text operations; writing the file is the caller's job.
namespace vantory::CalendarFile {

// Domain after "@" in every event UID. It must never change: calendars match a re-imported event
// to the one they already hold by UID.
inline constexpr std::string_view uidDomain = "vantory.app";

// The whole file, lines ended by CR LF, in the order of items; items without an effective due date
// are left out. alarm is the reminder lead time in minutes (0 or less: no reminder); now is written
// as every event's stamp. Instants are written in UTC; the settings' zone names the calendar's zone
// and writes the deadline in each description.
std::string generate(const std::vector<Assessment>& items, const Database& db, std::int64_t alarm, Instant now);

// The UID of the item's event, and of its task on a calendar server: the item's id at uidDomain,
// as the value text of a UID line. It never changes, since calendars match a re-imported event to
// the one they hold by UID.
std::string uid(const std::string& id);

// Whether the instant lies in the years a DATE-TIME can hold (0001 to 9999).
bool isWritable(Instant instant);
// The instant as a UTC DATE-TIME value ("20251203T075900Z"), the fraction of a second dropped and
// an unwritable instant clamped into the writable years.
std::string utcText(Instant instant);

// The text as an iCalendar TEXT value: backslashes doubled, every line break as "\n", ";" and ","
// preceded by a backslash.
std::string escape(std::string_view text);

// One content line folded into physical lines of at most 75 octets joined by CR LF (no trailing
// CR LF); continuation lines start with a space and a UTF-8 character is never split.
std::string fold(std::string_view line);

} // namespace vantory::CalendarFile
