#include "model/JsonSupport.h"

#include <cmath>
#include <limits>

namespace vantory::codec {

void requireObject(const nlohmann::json& value, const char* record)
{
    if (!value.is_object())
        throw DecodeError(std::string(record) + ": expected an object");
}

std::string Decoder<std::string>::decode(const nlohmann::json& value)
{
    if (!value.is_string())
        throw DecodeError("expected a string");
    return value.get_ref<const std::string&>();
}

bool Decoder<bool>::decode(const nlohmann::json& value)
{
    if (!value.is_boolean())
        throw DecodeError("expected a Boolean");
    return value.get<bool>();
}

std::int64_t Decoder<std::int64_t>::decode(const nlohmann::json& value)
{
    if (value.is_number_integer() && !value.is_number_unsigned())
        return value.get<std::int64_t>();
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            throw DecodeError("integer out of range");
        return static_cast<std::int64_t>(number);
    }
    if (value.is_number_float()) {
        // 5.0 is an integer written with a fraction part; 5.5 or 1e30 is not an Int.
        const double number = value.get<double>();
        constexpr double limit = 9223372036854775808.0; // 2^63
        if (std::trunc(number) == number && number >= -limit && number < limit)
            return static_cast<std::int64_t>(number);
        throw DecodeError("expected an integer");
    }
    throw DecodeError("expected an integer");
}

double Decoder<double>::decode(const nlohmann::json& value)
{
    if (!value.is_number())
        throw DecodeError("expected a number");
    return value.get<double>();
}

Instant Decoder<Instant>::decode(const nlohmann::json& value)
{
    return instantFromSeconds(Decoder<double>::decode(value) + referenceEpochOffset);
}

nlohmann::json encode(Instant instant)
{
    return secondsSince1970(instant) - referenceEpochOffset;
}

} // namespace vantory::codec
