// SPDX-License-Identifier: GPL-3.0-or-later
// Must not compile: the model is the lowest layer and cannot see the engine above it.
#include "engine/Engine.h"
