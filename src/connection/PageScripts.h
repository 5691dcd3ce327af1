// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Sites.h"

#include <string>

namespace vantory {

// The page scripts the connections run, read once from the application's resources; a missing
// resource leaves its text empty, and each Canvas script starts with the shared Canvas API reader.
struct PageScripts {
    std::string courses;
    std::string extract;
    std::string canvasCourses;
    std::string canvasAssignments;
    std::string canvasSubmissions;

    static PageScripts fromResources();
};

// Evaluated in a Canvas course's home page: null until the course navigation is rendered, then
// whether it links to the course's assignments.
extern const char* const assignmentsTabCheck;

// Evaluated in a login window's page: true on a page that only a signed-in user sees.
const char* signedInCheck(Site site);

} // namespace vantory
