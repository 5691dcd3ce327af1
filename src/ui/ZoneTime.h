// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"
#include "model/Zone.h"

#include <QDateTime>

// Date-and-time editors show the school zone's wall clock whatever the machine's zone. Qt 6.4's
// editors cannot take a zone, so they hold the wall-clock fields as a UTC QDateTime and ICU
// converts between those fields and the instant.
namespace vantory::ZoneTime {

// The wall-clock fields of the instant in zone, carried as a UTC QDateTime.
QDateTime wallClock(Instant instant, const Zone& zone);

// The instant whose wall clock in zone shows these fields (read as UTC fields). A time skipped by
// a daylight-saving change reads with the offset before the change; a repeated hour is the first.
Instant instant(const QDateTime& wallClock, const Zone& zone);

} // namespace vantory::ZoneTime
