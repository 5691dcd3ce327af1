#pragma once

#include "model/Assessment.h"
#include "model/Instant.h"
#include "model/RecordJson.h"
#include "model/Settings.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vantory {

// Everything the application remembers between runs; written as one JSON document.
struct Database {
    std::int64_t version = 1;
    std::vector<Assessment> assessments;
    std::map<std::string, UserOverride> overrides;
    Settings settings;
    std::map<std::string, Instant> lastSync;

    bool operator==(const Database&) const = default;
};

void writeJson(codec::JsonWriter& writer, const Database& database);
void readJson(const codec::JsonValue& json, Database& database);

} // namespace vantory
