// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Sites.h"

#include <cstdint>

namespace vantory {

class Store;

// Keeps Sites::current() on the addresses the Store's settings choose for as long as it lives, so
// every URL builder, sign-in and allow-list follows a changed address at once, before any observer
// of the Store hears of the change. A site that
// `overrides` names (the environment's, for copies of the sites) keeps that address instead.
// Afterwards the build's addresses are current again.
class SiteChoice {
public:
    SiteChoice(Store& store, Sites overrides);
    ~SiteChoice();
    SiteChoice(const SiteChoice&) = delete;
    SiteChoice& operator=(const SiteChoice&) = delete;

private:
    void choose();

    Store& store_;
    Sites overrides_;
    std::int64_t observer_;
};

} // namespace vantory
