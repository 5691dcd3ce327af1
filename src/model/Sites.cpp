// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Sites.h"

#include "SitesDefaults.h"

#include <algorithm>
#include <optional>

namespace vantory {

namespace {

constexpr Site allSites[] = {Site::assessment, Site::canvas};

Sites& mutableCurrent()
{
    static Sites sites = Sites::production();
    return sites;
}

// The host of a URL with that scheme prefix, or nothing when the text is no URL a parser would
// accept. The text must be printable ASCII without the characters URLs never hold, which also keeps
// it safe to write unescaped on a content line.
std::optional<std::string_view> hostWithPrefix(std::string_view url, std::string_view prefix)
{
    constexpr std::string_view forbidden = "\"<>\\^`{|}";
    const bool printable = std::all_of(url.begin(), url.end(), [&](char character) {
        const auto octet = static_cast<unsigned char>(character);
        return octet > 0x20 && octet < 0x7F && forbidden.find(character) == std::string_view::npos;
    });
    if (!printable || !url.starts_with(prefix))
        return std::nullopt;

    std::string_view authority = url.substr(prefix.size());
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    const auto colon = authority.find(':', authority.starts_with('[') ? authority.find(']') : 0);
    const std::string_view host = authority.substr(0, colon);
    const std::string_view port = colon == std::string_view::npos ? std::string_view{} : authority.substr(colon + 1);
    const bool numericPort = std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (host.empty() || !numericPort)
        return std::nullopt;
    return host;
}

} // namespace

Sites Sites::production()
{
    return {VANTORY_ASSESSMENT_BASE_URL, VANTORY_CANVAS_BASE_URL};
}

const Sites& Sites::current()
{
    return mutableCurrent();
}

void Sites::setCurrent(Sites sites)
{
    mutableCurrent() = std::move(sites);
}

std::string Sites::host(std::string_view url)
{
    auto start = url.find("://");
    start = start == std::string_view::npos ? 0 : start + 3;
    if (url.substr(start).starts_with('[')) {
        const auto close = url.find(']', start);
        return close == std::string_view::npos ? std::string{} : std::string(url.substr(start + 1, close - start - 1));
    }
    const auto end = url.find_first_of(":/?#", start);
    return std::string(url.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

bool Sites::isSiteURL(std::string_view url) const
{
    return std::any_of(std::begin(allSites), std::end(allSites), [&](Site site) {
        const std::string& base = baseURL(site);
        if (base.empty())
            return false;
        const auto found = hostWithPrefix(url, base.starts_with("http://") ? "http://" : "https://");
        return found && host(*found) == host(base);
    });
}

} // namespace vantory
