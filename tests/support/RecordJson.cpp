#include "support/RecordJson.h"

#include "model/Database.h"
#include "model/JsonDecoding.h"
#include "model/JsonTextWriter.h"

#include <nlohmann/json.hpp>

namespace vantory {

template <WrittenRecord Record> void to_json(nlohmann::json& json, const Record& record)
{
    std::string text;
    codec::JsonTextWriter writer(text);
    writeJson(writer, record);
    json = nlohmann::json::parse(text);
}

template <ReadRecord Record> void from_json(const nlohmann::json& json, Record& record)
{
    readJson(codec::JsonDocument::parseText(json.dump()).root(), record);
}

#define VANTORY_JSON_RECORD(Record)                                                                                    \
    template void to_json<Record>(nlohmann::json&, const Record&);                                                     \
    template void from_json<Record>(const nlohmann::json&, Record&);

VANTORY_JSON_RECORD(AccessRule)
VANTORY_JSON_RECORD(RawAssessment)
VANTORY_JSON_RECORD(PagePayload)
VANTORY_JSON_RECORD(Assessment)
VANTORY_JSON_RECORD(Course)
VANTORY_JSON_RECORD(Settings)
VANTORY_JSON_RECORD(Database)
template void from_json<CanvasAssignment>(const nlohmann::json&, CanvasAssignment&);
template void from_json<DiscoveredCourse>(const nlohmann::json&, DiscoveredCourse&);

} // namespace vantory
