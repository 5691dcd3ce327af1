// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Course.h"
#include "model/Sites.h"

#include <array>
#include <random>
#include <vector>

namespace vantory::CourseList {

// Colours for newly found courses, tried in a shuffled order.
inline constexpr std::array<const char*, 8> palette{
    "3B82F6", "A855F7", "14B8A6", "F97316", "EC4899", "6366F1", "84CC16", "06B6D4"};

// Brings the settings' course list up to date with the courses one site lists now: a known course
// takes the site's full name and year and keeps the user's name, switch and colours; a new one is
// appended, enabled, in a palette colour no course uses yet (any palette colour once all are
// used); a course of that site the list no longer has is disabled, never removed. The other
// site's courses are left alone.
void update(
    std::vector<Course>& courses, const std::vector<DiscoveredCourse>& discovered, Site site, std::mt19937_64& random);

} // namespace vantory::CourseList
