// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/JsonWriter.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantory::codec {

// Writes JSON text byte for byte as nlohmann's dump(2, ' ', false, error_handler_t::replace)
// prints the same tree: two-space indentation, doubles in the shortest round-trip form laid out
// as nlohmann does, invalid UTF-8 replaced by U+FFFD. A non-finite number, which nlohmann would
// print as an unreadable null, throws std::domain_error. It streams into one string, so
// saving a large database builds no tree of its own.
class JsonTextWriter final : public JsonWriter {
public:
    // Appends to text, which must outlive the writer.
    explicit JsonTextWriter(std::string& text);

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
    struct Container {
        bool isArray = false;
        bool empty = true;
        std::string_view lastKey; // checks that keys ascend
    };

    // The separator and indentation before an array element; an object member's key has
    // already written them.
    void beginValue();
    void close(char bracket);

    std::string& text_;
    std::vector<Container> open_; // innermost last
};

} // namespace vantory::codec
