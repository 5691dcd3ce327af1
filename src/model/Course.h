// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/JsonFwd.h"
#include "model/Modes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantory {

// One course the user follows. A Canvas course's id is "canvas:" followed by its Canvas number.
struct Course {
    static constexpr std::string_view canvasPrefix = "canvas:";
    static constexpr const char* defaultHex = "3B82F6";

    std::string id;
    std::string name;
    bool enabled = true;
    std::int64_t year = 0;
    std::string fullName;
    std::string colorHex = defaultHex;
    std::string menuColorMode = Modes::ColorSource::calendar;
    std::string menuColorHex = defaultHex;

    bool operator==(const Course&) const = default;

    bool isCanvas() const;
    std::string sourceName() const;
    // The page listing the course's work on its site; empty when the id cannot form a URL.
    std::string url() const;
    // The course's colour in the status line, given the colour the remaining time calls for.
    std::string menuHex(const std::string& urgency) const;
};

// One course as the assessment site's home page lists it; decoded only.
struct DiscoveredCourse {
    std::string id;
    std::string name;
    std::string fullName;
    std::int64_t year = 0;

    bool operator==(const DiscoveredCourse&) const = default;
};

void writeJson(codec::JsonWriter& writer, const Course& course);
void readJson(const codec::JsonValue& json, Course& course);
void readJson(const codec::JsonValue& json, DiscoveredCourse& course);

} // namespace vantory
