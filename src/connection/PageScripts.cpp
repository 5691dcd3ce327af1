// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/PageScripts.h"

#include <QFile>

namespace vantory {

namespace {

std::string resource(const char* name)
{
    QFile file(QStringLiteral(":/scripts/") + QLatin1String(name) + QStringLiteral(".js"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

} // namespace

PageScripts PageScripts::fromResources()
{
    // The Canvas scripts share their API reader, which goes first in each: its statements leave
    // the script's own last expression as the value, and it may sit in an async function body.
    const std::string canvasApi = resource("canvas-api");
    const auto canvas = [&](const char* name) {
        std::string script = resource(name);
        return script.empty() ? script : canvasApi + script;
    };
    return {resource("courses"), resource("extract"), canvas("canvas-courses"), canvas("canvas-assignments"),
        canvas("canvas-submissions")};
}

const char* const assignmentsTabCheck = R"((() => {
    const nav = document.querySelector('#section-tabs');
    if (!nav || !nav.querySelector('a[href]')) return null;
    const coursePath = location.pathname.replace(/\/$/, '');
    const links = Array.from(nav.querySelectorAll('a[href]'));
    if (!links.some(a => new URL(a.href).pathname === coursePath)) return null;
    return links.some(a => new URL(a.href).pathname.replace(/\/$/, '') === coursePath + '/assignments');
})())";

const char* signedInCheck(Site site)
{
    if (site == Site::canvas)
        return "!!document.querySelector('#dashboard, #my_courses_table, #assignment_group_upcoming, #section-tabs, "
               "#global_nav_profile_link')";
    return "!!document.querySelector('table[aria-label=Courses], table[aria-label=Assessments]')";
}

} // namespace vantory
