// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Database.h"
#include "model/Instant.h"
#include "model/Language.h"
#include "model/Sites.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantory::sample {

// A pretend school's addresses, on a name reserved for examples (no build has any): a sample
// that holds them is a state file as a student's Vantory keeps it, which neither asks for the
// addresses at launch nor reaches a real site.
Sites school();

// Writes the school's addresses into the settings, as the settings' "학교 사이트" does.
void useSchool(Database& db);

// A realistic database of itemCount deadlines around now: eight courses from both sites,
// the categories the sites use, due dates from a month ago to two months ahead (denser in the
// coming days), scores, access rules, some items done, hidden, re-dated by hand or missing.
// The same seed gives the same database; the courses and titles are named as a student of the
// language would name them.
Database database(std::size_t itemCount, Instant now, std::uint32_t seed = 7, Language names = language());

// Fresh rows of one course as a sync would bring them: existing ids with moved due dates, some
// dropped and some new. Used to measure merges.
std::vector<Assessment> freshItems(
    const Database& db, const std::string& courseID, std::size_t count, Instant now, std::uint32_t seed = 11);

} // namespace vantory::sample
