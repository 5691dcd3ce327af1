// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/CourseList.h"

#include <algorithm>
#include <set>
#include <string>

namespace vantory::CourseList {

void update(
    std::vector<Course>& courses, const std::vector<DiscoveredCourse>& discovered, Site site, std::mt19937_64& random)
{
    std::array<const char*, 8> colors = palette;
    std::shuffle(colors.begin(), colors.end(), random);
    std::set<std::string> used;
    for (const Course& course : courses)
        used.insert(course.colorHex);

    std::set<std::string> listed;
    for (const DiscoveredCourse& found : discovered) {
        listed.insert(found.id);
        const auto known
            = std::find_if(courses.begin(), courses.end(), [&](const Course& c) { return c.id == found.id; });
        if (known != courses.end()) {
            known->fullName = found.fullName;
            known->year = found.year;
            continue;
        }
        const auto fresh
            = std::find_if(colors.begin(), colors.end(), [&](const char* hex) { return !used.contains(hex); });
        const std::string color = fresh != colors.end()
            ? *fresh
            : colors[std::uniform_int_distribution<std::size_t>(0, colors.size() - 1)(random)];
        used.insert(color);
        courses.push_back({.id = found.id,
            .name = found.name,
            .enabled = true,
            .year = found.year,
            .fullName = found.fullName,
            .colorHex = color,
            .menuColorHex = color});
    }
    const bool canvas = site == Site::canvas;
    for (Course& course : courses) {
        if (course.isCanvas() == canvas && !listed.contains(course.id))
            course.enabled = false;
    }
}

} // namespace vantory::CourseList
