// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Sites.h"

#include <string>
#include <string_view>

// A school's site address as the student types it, checked and brought into one stored form:
// "https://host[:port]/" for the assessment site, "https://host[:port]" for Canvas, the host in
// its ASCII (IDNA) form. Plain http is allowed only for this computer's own addresses, which
// browsers also treat as secure.
namespace vantory::SiteAddress {

struct Checked {
    std::string address; // the stored form; empty when the school does not use the site
    std::string problem; // a short text for the field, in the language; empty when the input is usable

    bool usable() const { return problem.empty(); }
};

Checked check(std::string_view input, Site site);

// A calendar server's collection address under the same rules, its path kept (percent-encoded
// where a URL needs it; "/" when none was typed), since it names the collection itself.
Checked checkCollection(std::string_view input);

// The stored form of a base URL of Sites, and back.
std::string stored(std::string_view baseURL, Site site);
std::string baseURL(std::string_view stored);

} // namespace vantory::SiteAddress
