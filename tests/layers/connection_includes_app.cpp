// SPDX-License-Identifier: GPL-3.0-or-later
// Must not compile: the connections sit below the shell that composes them.
#include "app/AppDelegate.h"
