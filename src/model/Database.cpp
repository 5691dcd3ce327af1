// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Database.h"

#include "model/JsonDecoding.h"
#include "model/JsonWriter.h"

namespace vantory {

void writeJson(codec::JsonWriter& writer, const ShownReminder& reminder)
{
    writer.beginObject();
    codec::put(writer, "due", reminder.due);
    codec::put(writer, "minutes", reminder.minutes);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, ShownReminder& reminder)
{
    codec::requireObject(json, "ShownReminder");
    reminder.due = codec::required<Instant>(json, "due");
    reminder.minutes = codec::required<std::int64_t>(json, "minutes");
}

void writeJson(codec::JsonWriter& writer, const Database& database)
{
    writer.beginObject();
    codec::put(writer, "assessments", database.assessments);
    codec::put(writer, "calendarServer", database.calendarServer);
    codec::put(writer, "lastSync", database.lastSync);
    codec::put(writer, "overrides", database.overrides);
    codec::put(writer, "reminders", database.reminders);
    codec::put(writer, "settings", database.settings);
    codec::put(writer, "version", database.version);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, Database& database)
{
    codec::requireObject(json, "Database");
    database.version = codec::required<std::int64_t>(json, "version");
    database.assessments = codec::required<std::vector<Assessment>>(json, "assessments");
    database.overrides = codec::required<std::map<std::string, UserOverride>>(json, "overrides");
    database.settings = codec::required<Settings>(json, "settings");
    database.lastSync = codec::required<std::map<std::string, Instant>>(json, "lastSync");
    database.reminders = codec::optional<std::map<std::string, ShownReminder>>(json, "reminders");
    database.calendarServer = codec::optional<CalendarServerState>(json, "calendarServer");
}

} // namespace vantory
