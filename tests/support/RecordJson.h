#pragma once

#include "model/JsonDecoding.h"
#include "model/JsonTextWriter.h"

#include <nlohmann/json.hpp>

// nlohmann's to_json and from_json for every record, through JSON text and the record's own writeJson and
// readJson, so each record keeps one reader and one writer, the state file's.
namespace vantory {

template <typename Record>
requires requires(codec::JsonWriter& writer, const Record& record)
{
    writeJson(writer, record);
}
void to_json(nlohmann::json& json, const Record& record)
{
    std::string text;
    codec::JsonTextWriter writer(text);
    writeJson(writer, record);
    json = nlohmann::json::parse(text);
}

template <typename Record>
requires requires(const codec::JsonValue& value, Record& record)
{
    readJson(value, record);
}
void from_json(const nlohmann::json& json, Record& record)
{
    readJson(codec::JsonDocument::parseText(json.dump()).root(), record);
}

} // namespace vantory
