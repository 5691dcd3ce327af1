#pragma once

#include <string>

namespace vantory {

// A fresh random version-4 UUID in its upper-case text form.
std::string makeUuid();

} // namespace vantory
