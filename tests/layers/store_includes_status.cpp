// SPDX-License-Identifier: GPL-3.0-or-later
// Must not compile: the store and the status line are sibling layers over the engine.
#include "status/StatusLine.h"
