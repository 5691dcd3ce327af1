// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/SiteURLs.h"

#include "model/Sites.h"

namespace vantory::SiteURLs {

std::string startPage(Site site)
{
    return site == Site::canvas ? canvas("/courses") : Sites::current().baseURL(site) + "/";
}

std::string canvas(const std::string& path)
{
    return Sites::current().canvasBaseURL + path;
}

bool isOnSite(const QUrl& url, Site site)
{
    return url.isValid() && !url.host().isEmpty()
        && url.host().toStdString() == Sites::host(Sites::current().baseURL(site));
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
