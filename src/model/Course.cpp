// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Course.h"

#include "model/JsonDecoding.h"
#include "model/JsonWriter.h"
#include "model/Modes.h"
#include "model/Sites.h"

namespace vantory {

bool Course::isCanvas() const
{
    return id.starts_with(canvasPrefix);
}

std::string Course::sourceName() const
{
    return isCanvas() ? "Canvas" : "BrevaneLearn";
}

std::string Course::url() const
{
    const Sites& sites = Sites::current();
    if (isCanvas())
        return sites.canvasBaseURL + "/courses/" + id.substr(canvasPrefix.size()) + "/assignments";
    return sites.assessmentBaseURL + "/pl/course_instance/" + id + "/assessments";
}

std::string Course::menuHex(const std::string& urgency) const
{
    if (menuColorMode == Modes::ColorSource::custom)
        return menuColorHex;
    if (menuColorMode == Modes::ColorSource::urgency)
        return urgency;
    return colorHex;
}

void writeJson(codec::JsonWriter& writer, const Course& course)
{
    writer.beginObject();
    codec::put(writer, "colorHex", course.colorHex);
    codec::put(writer, "enabled", course.enabled);
    codec::put(writer, "fullName", course.fullName);
    codec::put(writer, "id", course.id);
    codec::put(writer, "menuColorHex", course.menuColorHex);
    codec::put(writer, "menuColorMode", course.menuColorMode);
    codec::put(writer, "name", course.name);
    codec::put(writer, "year", course.year);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, Course& course)
{
    codec::requireObject(json, "Course");
    course.id = codec::required<std::string>(json, "id");
    course.name = codec::required<std::string>(json, "name");
    course.enabled = codec::required<bool>(json, "enabled");
    course.year = codec::required<std::int64_t>(json, "year");
    course.fullName = codec::optional<std::string>(json, "fullName").value_or(course.name);
    course.colorHex = codec::optional<std::string>(json, "colorHex").value_or(Course::defaultHex);
    course.menuColorMode = codec::optional<std::string>(json, "menuColorMode").value_or(Modes::ColorSource::calendar);
    course.menuColorHex = codec::optional<std::string>(json, "menuColorHex").value_or(course.colorHex);
}

void readJson(const codec::JsonValue& json, DiscoveredCourse& course)
{
    codec::requireObject(json, "DiscoveredCourse");
    course.id = codec::required<std::string>(json, "id");
    course.name = codec::required<std::string>(json, "name");
    course.fullName = codec::required<std::string>(json, "fullName");
    course.year = codec::required<std::int64_t>(json, "year");
}

} // namespace vantory
