// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "model/Course.h"
#include "model/Database.h"
#include "model/Instant.h"

#include <map>
#include <optional>
#include <string>

// Canvas assignments as stored deadline items.
namespace vantory::CanvasItems {

// An RFC 3339 internet date-time ("2025-03-01T07:59:59Z", "…59.000Z", "…59-08:00"); absent for an
// absent text or any other form.
std::optional<Instant> readDate(const std::optional<std::string>& text);

// The stored item of one assignment of course. submitted comes from the submission states when
// they name the assignment, else from the item stored under the same id.
Assessment item(const CanvasAssignment& assignment, const Course& course,
    const std::map<std::string, bool>& submissions, const Database& db, Instant now);

} // namespace vantory::CanvasItems
