// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/JsonDecoding.h"

#include <cmath>
#include <limits>

namespace vantory::codec {

using Kind = JsonValue::Kind;

void requireObject(JsonValue value, const char* record)
{
    if (value.kind() != Kind::Object)
        throw DecodeError(std::string(record) + ": expected an object");
}

std::string Decoder<std::string>::decode(JsonValue value)
{
    if (value.kind() != Kind::String)
        throw DecodeError("expected a string");
    return std::string(value.string());
}

bool Decoder<bool>::decode(JsonValue value)
{
    if (value.kind() != Kind::Boolean)
        throw DecodeError("expected a Boolean");
    return value.boolean();
}

std::int64_t Decoder<std::int64_t>::decode(JsonValue value)
{
    switch (value.kind()) {
    case Kind::Integer:
        return value.integer();
    case Kind::Unsigned:
        if (value.unsignedInteger() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            throw DecodeError("integer out of range");
        return static_cast<std::int64_t>(value.unsignedInteger());
    case Kind::Float: {
        // 5.0 is an integer written with a fraction part; 5.5 or 1e30 is not an Int.
        const double number = value.floating();
        constexpr double limit = 9223372036854775808.0; // 2^63
        if (std::trunc(number) == number && number >= -limit && number < limit)
            return static_cast<std::int64_t>(number);
        throw DecodeError("expected an integer");
    }
    default:
        throw DecodeError("expected an integer");
    }
}

double Decoder<double>::decode(JsonValue value)
{
    switch (value.kind()) {
    case Kind::Integer:
        return static_cast<double>(value.integer());
    case Kind::Unsigned:
        return static_cast<double>(value.unsignedInteger());
    case Kind::Float:
        // The parser reads 1e400 as infinity; no record holds one, and it could not be saved.
        if (!std::isfinite(value.floating()))
            throw DecodeError("expected a finite number");
        return value.floating();
    default:
        throw DecodeError("expected a number");
    }
}

Instant Decoder<Instant>::decode(JsonValue value)
{
    return instantFromSeconds(Decoder<double>::decode(value) + referenceEpochOffset);
}

} // namespace vantory::codec
