// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Sites.h"

#include <QUrl>

#include <string>

// Where the connections go on the two sites, and the tests of where a page ended up. The base
// URLs come from Sites::current().
namespace vantory::SiteURLs {

// The assessment site's home page, or the Canvas course list.
std::string startPage(Site site);
// The Canvas base URL followed by path ("/courses/…").
std::string canvas(const std::string& path);

// Whether url is present and on exactly the site's host.
bool isOnSite(const QUrl& url, Site site);

// The path without any leading or trailing "/".
QString trimmedPath(const QString& path);

} // namespace vantory::SiteURLs
