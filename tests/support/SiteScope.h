// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Sites.h"

#include <utility>

namespace vantory::test {

// Points Sites::current() at test hosts while it lives, so a test failing half-way cannot hand them on.
class SiteScope {
public:
    // Hosts that nothing real answers on, so a URL built from them can never reach the real sites.
    static Sites localSites() { return {"https://learn.test", "https://canvas.test"}; }

    explicit SiteScope(Sites sites = localSites()) { Sites::setCurrent(std::move(sites)); }
    ~SiteScope() { Sites::setCurrent(Sites::production()); }
    SiteScope(const SiteScope&) = delete;
    SiteScope& operator=(const SiteScope&) = delete;
};

} // namespace vantory::test
