// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/JsonDecoding.h"
#include "model/JsonTextWriter.h"

#include <nlohmann/json.hpp>

// nlohmann's to_json and from_json for every record, through JSON text and the record's own writeJson and
// readJson, so each record keeps one reader and one writer, the state file's.
namespace vantory {

template <typename Record>
auto to_json(nlohmann::json& json, const Record& record)
    -> decltype(writeJson(std::declval<codec::JsonWriter&>(), record))
{
    std::string text;
    codec::JsonTextWriter writer(text);
    writeJson(writer, record);
    json = nlohmann::json::parse(text);
}

template <typename Record>
auto from_json(const nlohmann::json& json, Record& record)
    -> decltype(readJson(std::declval<const codec::JsonValue&>(), record))
{
    readJson(codec::JsonDocument::parse(json.dump()).root(), record);
}

} // namespace vantory
