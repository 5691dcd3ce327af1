// SPDX-License-Identifier: GPL-3.0-or-later
// Must not compile: the worker that runs untrusted web content sees the protocol and nothing else.
#include "model/Sites.h"
