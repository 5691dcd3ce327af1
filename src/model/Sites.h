// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vantory {

// The two course sites the application reads.
enum class Site { assessment, canvas };

// The base URLs of the two course sites, without a trailing slash; empty for a site the school does
// not use. The build's values are compiled in (and may be empty); the settings and, for tests, the
// environment choose others.
struct Sites {
    std::string assessmentBaseURL;
    std::string canvasBaseURL;

    const std::string& baseURL(Site site) const { return site == Site::canvas ? canvasBaseURL : assessmentBaseURL; }
    bool uses(Site site) const { return !baseURL(site).empty(); }
    bool operator==(const Sites&) const = default;

    static Sites production();
    // The process-wide value every URL builder reads; the application sets it at start-up and
    // whenever the settings choose other addresses.
    static const Sites& current();
    static void setCurrent(Sites sites);

    // Whether a URL is on exactly one of the two sites' hosts, over https (or over http for a site
    // whose address is http, which only this computer's own addresses may be). Only printable ASCII
    // without the characters URLs never hold passes, so a passing URL is also safe to write unescaped.
    bool isSiteURL(std::string_view url) const;

    // The host part of a URL ("learn.example.ca" of "https://learn.example.ca:8443/x", "::1" of
    // "http://[::1]:8080").
    static std::string host(std::string_view url);
};

} // namespace vantory
