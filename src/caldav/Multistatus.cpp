// SPDX-License-Identifier: GPL-3.0-or-later
#include "caldav/Multistatus.h"

namespace vantory {

namespace {

// "HTTP/1.1 404 Not Found" → 404, or nothing.
std::optional<int> statusCode(const XmlElement* element)
{
    if (!element)
        return std::nullopt;
    const QList<QStringView> parts = QStringView(element->text).trimmed().split(u' ', Qt::SkipEmptyParts);
    bool number = false;
    const int code = parts.size() >= 2 ? parts[1].toInt(&number) : 0;
    if (!number || code < 100 || code > 599)
        return std::nullopt;
    return code;
}

bool readResponse(const XmlElement& element, const QUrl& base, std::vector<DavResponse>& responses)
{
    std::vector<QUrl> hrefs;
    for (const XmlElement& child : element.children)
        if (child.is(davNamespace, u"href")) {
            std::optional<QUrl> href = resolveHref(base, child.text);
            if (!href)
                return false;
            hrefs.push_back(std::move(*href));
        }
    if (hrefs.empty())
        return false;

    DavResponse response{hrefs.front()};
    if (const XmlElement* status = element.child(davNamespace, u"status")) {
        const std::optional<int> code = statusCode(status);
        if (!code)
            return false;
        // One status may stand for many hrefs.
        for (QUrl& href : hrefs)
            responses.push_back({std::move(href), *code});
        return true;
    }
    for (const XmlElement& propstat : element.children) {
        if (!propstat.is(davNamespace, u"propstat"))
            continue;
        const std::optional<int> code = statusCode(propstat.child(davNamespace, u"status"));
        const XmlElement* prop = propstat.child(davNamespace, u"prop");
        if (!code || !prop)
            return false;
        if (*code / 100 == 2)
            response.props.insert(response.props.end(), prop->children.begin(), prop->children.end());
    }
    responses.push_back(std::move(response));
    return true;
}

QUrl comparable(const QUrl& url)
{
    return url.adjusted(
        QUrl::NormalizePathSegments | QUrl::StripTrailingSlash | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

} // namespace

const XmlElement* DavResponse::prop(QStringView space, QStringView local) const
{
    for (const XmlElement& element : props)
        if (element.is(space, local))
            return &element;
    return nullptr;
}

std::optional<Multistatus> readMultistatus(QByteArrayView body, const QUrl& base)
{
    const std::optional<XmlElement> root = readXml(body);
    if (!root || !root->is(davNamespace, u"multistatus"))
        return std::nullopt;
    Multistatus answer{base};
    for (const XmlElement& element : root->children) {
        if (element.is(davNamespace, u"response") && !readResponse(element, base, answer.responses))
            return std::nullopt;
        if (element.is(davNamespace, u"sync-token"))
            answer.syncToken = element.text.trimmed();
    }
    return answer;
}

const DavResponse* selfResponse(const Multistatus& answer)
{
    for (const DavResponse& response : answer.responses)
        if (sameResource(response.href, answer.base))
            return &response;
    return nullptr;
}

std::optional<QUrl> resolveHref(const QUrl& base, const QString& href)
{
    const QUrl relative(href.trimmed(), QUrl::StrictMode);
    if (href.trimmed().isEmpty() || !relative.isValid())
        return std::nullopt;
    QUrl resolved = base.resolved(relative);
    if (!resolved.isValid() || !sameOrigin(base, resolved))
        return std::nullopt;
    return resolved;
}

bool sameOrigin(const QUrl& one, const QUrl& other)
{
    const int defaultPort = one.scheme() == u"https" ? 443 : 80;
    return one.scheme() == other.scheme() && one.host() == other.host()
        && one.port(defaultPort) == other.port(defaultPort);
}

bool sameResource(const QUrl& one, const QUrl& other)
{
    return sameOrigin(one, other)
        && comparable(one).path(QUrl::FullyDecoded) == comparable(other).path(QUrl::FullyDecoded);
}

} // namespace vantory
