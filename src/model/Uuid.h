// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace vantory {

// A fresh random version-4 UUID in its upper-case text form.
std::string makeUuid();

} // namespace vantory
