// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>

namespace vantory {
class BrevaneConnection;
}

// The assessment site's pass: reads the course list on the home page, brings the settings' courses
// up to date, then reads and merges the page of every enabled course. A failed page keeps that
// course's stored deadlines; a sign-in page ends the pass with the login texts.
namespace vantory::AssessmentPass {

// Runs one pass in the connection's hidden page; it ends with connection.endPass().
QCoro::Task<> run(BrevaneConnection& connection);

} // namespace vantory::AssessmentPass
