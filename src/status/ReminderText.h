// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "model/Instant.h"
#include "model/Settings.h"

#include <string>

namespace vantory {

// The words of a deadline reminder's desktop notification: the course and the item as the summary,
// then the time left as the status line writes it and the deadline in the school's zone. Plain text
// (the body holds no scraped text, so it needs no markup escaping); the summary keeps to one line
// of at most summaryLength characters.
struct ReminderText {
    static constexpr std::size_t summaryLength = 120;

    std::string summary;
    std::string body;

    bool operator==(const ReminderText&) const = default;
};

ReminderText reminderText(const Assessment& item, const Settings& settings, Instant due, Instant now);

} // namespace vantory
