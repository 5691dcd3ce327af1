#pragma once

#include <nlohmann/json_fwd.hpp>

namespace vantory::codec {
class JsonValue;
class JsonWriter;
} // namespace vantory::codec

// nlohmann's to_json and from_json for every record: they go through JSON text and the record's
// own writeJson and readJson, so each record has one reader and one writer, the state file's.
// Neither is on a hot path. Instantiated for the records in
// RecordJson.cpp, which keeps the full JSON headers out of the record headers.
namespace vantory {

template <typename Record>
requires requires(codec::JsonWriter& writer, const Record& record)
{
    writeJson(writer, record);
}
void to_json(nlohmann::json& json, const Record& record);

template <typename Record>
requires requires(const codec::JsonValue& value, Record& record)
{
    readJson(value, record);
}
void from_json(const nlohmann::json& json, Record& record);

} // namespace vantory
