#include "connection/SiteURLs.h"

#include "model/Sites.h"

namespace vantory::SiteURLs {

namespace {

const std::string& baseURL(Site site)
{
    const Sites& sites = Sites::current();
    return site == Site::canvas ? sites.canvasBaseURL : sites.assessmentBaseURL;
}

} // namespace

std::string startPage(Site site)
{
    return site == Site::canvas ? canvas("/courses") : baseURL(site) + "/";
}

std::string canvas(const std::string& path)
{
    return Sites::current().canvasBaseURL + path;
}

bool isOnSite(const QUrl& url, Site site)
{
    return url.isValid() && !url.host().isEmpty() && url.host().toStdString() == Sites::host(baseURL(site));
}

QString trimmedPath(const QString& path)
{
    qsizetype start = 0;
    qsizetype end = path.size();
    while (start < end && path[start] == QLatin1Char('/'))
        ++start;
    while (end > start && path[end - 1] == QLatin1Char('/'))
        --end;
    return path.mid(start, end - start);
}

} // namespace vantory::SiteURLs
