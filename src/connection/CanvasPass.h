// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>

namespace vantory {
class BrevaneConnection;
}

// The Canvas pass: reads the course list, brings the settings' Canvas courses up to date, then for
// every enabled Canvas course checks for an assignments list, reads the assignments and their
// submission states through the site's own JSON in the signed-in page, and merges them. A failed
// course keeps its stored deadlines.
namespace vantory::CanvasPass {

// Runs one pass in the connection's hidden page; it ends with connection.endPass().
QCoro::Task<> run(BrevaneConnection& connection);

} // namespace vantory::CanvasPass
