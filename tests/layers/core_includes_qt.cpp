// SPDX-License-Identifier: GPL-3.0-or-later
// Must not compile: the core never sees Qt.
#include <QString>
