#include "model/Sites.h"

#include "model/SitesDefaults.h"

namespace vantory {

namespace {
Sites& mutableCurrent()
{
    static Sites sites = Sites::production();
    return sites;
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

std::string Sites::host(const std::string& baseURL)
{
    auto start = baseURL.find("://");
    start = start == std::string::npos ? 0 : start + 3;
    const auto end = baseURL.find_first_of(":/?#", start);
    return baseURL.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace vantory
