// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caldav/DavXml.h"

#include <QUrl>

#include <optional>
#include <vector>

namespace vantory {

// One resource of a 207 Multi-Status answer.
struct DavResponse {
    QUrl href; // resolved against the request, on its origin
    int status = 0; // the response's own status (a member removed since a sync token); 0 when it has properties
    std::vector<XmlElement> props; // the properties found (those of a 2xx propstat)

    const XmlElement* prop(QStringView space, QStringView local) const;
};

struct Multistatus {
    QUrl base; // where the answer came from
    std::vector<DavResponse> responses;
    QString syncToken; // empty when the answer has none
};

// The response about base itself (a collection among its members), or null.
const DavResponse* selfResponse(const Multistatus& answer);

// The answer's responses, or nothing for a body that is not a well-formed multistatus, has a status
// line that cannot be read or names a resource on another origin than base.
std::optional<Multistatus> readMultistatus(QByteArrayView body, const QUrl& base);

// An href of an answer resolved against base, or nothing when it is not a URL or leaves base's origin.
std::optional<QUrl> resolveHref(const QUrl& base, const QString& href);
bool sameOrigin(const QUrl& one, const QUrl& other);
// Whether two URLs name one resource, however the server spells its path (encoding, a trailing slash).
bool sameResource(const QUrl& one, const QUrl& other);

} // namespace vantory
