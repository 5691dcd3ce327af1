// SPDX-License-Identifier: GPL-3.0-or-later
// Must not compile: the calendar server's client speaks hrefs, ETags and texts, not the core's records.
#include "model/Database.h"
