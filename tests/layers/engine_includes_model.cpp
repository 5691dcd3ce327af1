// SPDX-License-Identifier: GPL-3.0-or-later
// Must compile: a layer sees the layers it links, so the failures of its siblings are the rule at
// work and not a broken probe.
#include "model/Settings.h"
