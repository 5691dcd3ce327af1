#pragma once

#include "model/JsonFwd.h"

#include <nlohmann/json_fwd.hpp>

// nlohmann's to_json and from_json for the records listed in RecordJson.cpp, through JSON text and the
// record's own writeJson and readJson, so each record keeps one reader and one writer, the state file's.
namespace vantory {

template <typename R>
concept WrittenRecord = requires(codec::JsonWriter& w, const R& r)
{
    writeJson(w, r);
};
template <typename R>
concept ReadRecord = requires(const codec::JsonValue& v, R& r)
{
    readJson(v, r);
};

template <WrittenRecord Record> void to_json(nlohmann::json& json, const Record& record);
template <ReadRecord Record> void from_json(const nlohmann::json& json, Record& record);

} // namespace vantory
