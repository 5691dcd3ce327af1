#pragma once

#include <string>
#include <string_view>

namespace vantory {

// The base URLs of the two course sites, without a trailing slash. Production values are compiled
// in; tests and the application's fixture mode point them at local servers instead.
struct Sites {
    std::string assessmentBaseURL;
    std::string canvasBaseURL;

    static Sites production();
    // The process-wide value every URL builder reads; set once at start-up before any use.
    static const Sites& current();
    static void setCurrent(Sites sites);

    // Whether a URL is https on exactly one of the two sites' hosts. Only printable ASCII without
    // the characters URLs never hold passes, so a passing URL is also safe to write unescaped.
    bool isSiteURL(std::string_view url) const;

    // The host part of a base URL ("learn.example.ca" of "https://learn.example.ca:8443/x").
    static std::string host(const std::string& baseURL);
};

} // namespace vantory
