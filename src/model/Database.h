// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "model/CalendarServerState.h"
#include "model/Instant.h"
#include "model/JsonFwd.h"
#include "model/Settings.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// The nearest reminder of an item already shown, for the due date it was shown for: lead times of
// at least `minutes` are spent for that date, while another date re-arms them all.
struct ShownReminder {
    Instant due{};
    std::int64_t minutes = 0;

    bool operator==(const ShownReminder&) const = default;
};

// Everything the application remembers between runs; written as one JSON document.
struct Database {
    std::int64_t version = 1;
    std::vector<Assessment> assessments;
    std::map<std::string, UserOverride> overrides;
    Settings settings;
    std::map<std::string, Instant> lastSync;
    // By item id; absent until a reminder was first shown, and again once none is left.
    std::optional<std::map<std::string, ShownReminder>> reminders;
    // The calendar sync's own memory; absent until a calendar server was first set.
    std::optional<CalendarServerState> calendarServer;

    bool operator==(const Database&) const = default;
};

void writeJson(codec::JsonWriter& writer, const ShownReminder& reminder);
void readJson(const codec::JsonValue& json, ShownReminder& reminder);

void writeJson(codec::JsonWriter& writer, const Database& database);
void readJson(const codec::JsonValue& json, Database& database);

} // namespace vantory
