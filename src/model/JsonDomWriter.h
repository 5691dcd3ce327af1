#pragma once

#include "model/JsonWriter.h"

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace vantory::codec {

// Builds an nlohmann::json tree from a record's writeJson: what the records' to_json use, so
// `nlohmann::json j = record;` holds the same document the state file's text does.
class JsonDomWriter final : public JsonWriter {
public:
    // Replaces root with the written value; root must outlive the writer.
    explicit JsonDomWriter(nlohmann::json& root);

    void beginObject() override;
    void endObject() override;
    void beginArray() override;
    void endArray() override;
    void key(std::string_view name) override;
    void string(std::string_view text) override;
    void boolean(bool value) override;
    void integer(std::int64_t value) override;
    void number(double value) override;

private:
    // Puts a value where the next one belongs and returns it in its place.
    nlohmann::json& place(nlohmann::json&& value);

    nlohmann::json& root_;
    // Containers being filled, innermost last. An open array is only appended to once its
    // open child is closed, so these pointers stay valid.
    std::vector<nlohmann::json*> open_;
    std::string key_; // of the next value, when the innermost container is an object
};

} // namespace vantory::codec
