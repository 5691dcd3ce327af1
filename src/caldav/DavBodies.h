// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <span>

namespace vantory::DavBodies {

// PROPFIND for every step of discovery: what a resource is, its name, its principal, its calendar
// home and the components it holds.
QByteArray discovery();
// PROPFIND for the change marks: each member's ETag, the collection's ctag and sync token.
QByteArray tags();
QByteArray makeCalendar(const QString& displayName);
QByteArray syncCollection(const QString& token);
QByteArray multiget(std::span<const QUrl> hrefs);

} // namespace vantory::DavBodies
