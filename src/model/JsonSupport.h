#pragma once

#include "model/Instant.h"

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// Strict JSON decoding shared by the records: a missing required key or a value of the wrong
// JSON type throws DecodeError, never a silent conversion (nlohmann would turn true into 1.0).
// Dates are numbers of seconds since 2001-01-01 00:00:00 UTC.
namespace vantory::codec {

struct DecodeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

template <typename T>
struct Decoder {
    static T decode(const nlohmann::json& value) { return value.get<T>(); }
};

template <typename T>
T decode(const nlohmann::json& value)
{
    return Decoder<T>::decode(value);
}

template <>
struct Decoder<std::string> {
    static std::string decode(const nlohmann::json& value);
};
template <>
struct Decoder<bool> {
    static bool decode(const nlohmann::json& value);
};
template <>
struct Decoder<std::int64_t> {
    static std::int64_t decode(const nlohmann::json& value);
};
template <>
struct Decoder<double> {
    static double decode(const nlohmann::json& value);
};
template <>
struct Decoder<Instant> {
    static Instant decode(const nlohmann::json& value);
};

template <typename T>
struct Decoder<std::vector<T>> {
    static std::vector<T> decode(const nlohmann::json& value)
    {
        if (!value.is_array())
            throw DecodeError("expected an array");
        std::vector<T> result;
        result.reserve(value.size());
        for (const auto& element : value)
            result.push_back(Decoder<T>::decode(element));
        return result;
    }
};

template <typename T>
struct Decoder<std::map<std::string, T>> {
    static std::map<std::string, T> decode(const nlohmann::json& value)
    {
        if (!value.is_object())
            throw DecodeError("expected an object");
        std::map<std::string, T> result;
        for (const auto& [key, element] : value.items())
            result.emplace(key, Decoder<T>::decode(element));
        return result;
    }
};

void requireObject(const nlohmann::json& value, const char* record);

// The value under a required key.
template <typename T>
T required(const nlohmann::json& object, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end())
        throw DecodeError(std::string("missing key \"") + key + "\"");
    try {
        return Decoder<T>::decode(*found);
    } catch (const DecodeError& error) {
        throw DecodeError(std::string(key) + ": " + error.what());
    }
}

// The value under an optional key; a missing key and JSON null are both absent.
template <typename T>
std::optional<T> optional(const nlohmann::json& object, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end() || found->is_null())
        return std::nullopt;
    try {
        return Decoder<T>::decode(*found);
    } catch (const DecodeError& error) {
        throw DecodeError(std::string(key) + ": " + error.what());
    }
}

nlohmann::json encode(Instant instant);

template <typename T>
nlohmann::json encode(const T& value)
{
    return nlohmann::json(value);
}

// Writes an optional value only when present: absent optionals have no key.
template <typename T>
void putOptional(nlohmann::json& object, const char* key, const std::optional<T>& value)
{
    if (value)
        object[key] = encode(*value);
}

} // namespace vantory::codec
