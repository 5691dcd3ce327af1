// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace vantory {

inline constexpr QStringView davNamespace = u"DAV:";
inline constexpr QStringView calDavNamespace = u"urn:ietf:params:xml:ns:caldav";
inline constexpr QStringView calendarServerNamespace = u"http://calendarserver.org/ns/";

// One element of a server's answer: its namespace, local name, attributes it may need, the text
// directly inside it and its child elements.
struct XmlElement {
    QString ns;
    QString name;
    QString nameAttribute; // the only attribute CalDAV answers carry meaning in (<C:comp name="VTODO"/>)
    QString text;
    std::vector<XmlElement> children;

    bool is(QStringView space, QStringView local) const { return ns == space && name == local; }
    // The first child of that name, or null.
    const XmlElement* child(QStringView space, QStringView local) const;
};

// Limits for text from the network: a bounded tree whatever the server sends.
struct XmlLimits {
    int depth = 32;
    int elements = 200'000;
    qsizetype text = 4 * 1024 * 1024; // characters directly inside one element
};

// The document's root element, or nothing for text that is not well-formed XML, holds a DTD or an
// entity reference, or exceeds a limit.
std::optional<XmlElement> readXml(QByteArrayView bytes, const XmlLimits& limits = {});

} // namespace vantory
