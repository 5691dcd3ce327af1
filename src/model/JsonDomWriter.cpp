#include "model/JsonDomWriter.h"

#include <nlohmann/json.hpp>

namespace vantory::codec {

JsonDomWriter::JsonDomWriter(nlohmann::json& root)
    : root_(root)
{
}

void JsonDomWriter::beginObject()
{
    open_.push_back(&place(nlohmann::json::object()));
}

void JsonDomWriter::endObject()
{
    open_.pop_back();
}

void JsonDomWriter::beginArray()
{
    open_.push_back(&place(nlohmann::json::array()));
}

void JsonDomWriter::endArray()
{
    open_.pop_back();
}

void JsonDomWriter::key(std::string_view name)
{
    key_ = name;
}

void JsonDomWriter::string(std::string_view text)
{
    place(std::string(text));
}

void JsonDomWriter::boolean(bool value)
{
    place(value);
}

void JsonDomWriter::integer(std::int64_t value)
{
    place(value);
}

void JsonDomWriter::number(double value)
{
    place(value);
}

nlohmann::json& JsonDomWriter::place(nlohmann::json&& value)
{
    if (open_.empty())
        return root_ = std::move(value);
    nlohmann::json& container = *open_.back();
    if (container.is_array())
        return container.emplace_back(std::move(value));
    return container[key_] = std::move(value);
}

} // namespace vantory::codec
