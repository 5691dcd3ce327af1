// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a record header needs to declare its readJson and writeJson (model/JsonDecoding.h and
// model/JsonWriter.h define them), without the JSON headers.
namespace vantory::codec {
class JsonValue;
class JsonWriter;
} // namespace vantory::codec
