// SPDX-License-Identifier: GPL-3.0-or-later
// Must not compile: the screens sit below the shell that opens them.
#include "app/ScreenOpener.h"
