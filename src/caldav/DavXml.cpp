// SPDX-License-Identifier: GPL-3.0-or-later
#include "caldav/DavXml.h"

#include <QXmlStreamReader>

namespace vantory {

const XmlElement* XmlElement::child(QStringView space, QStringView local) const
{
    for (const XmlElement& element : children)
        if (element.is(space, local))
            return &element;
    return nullptr;
}

std::optional<XmlElement> readXml(QByteArrayView bytes, const XmlLimits& limits)
{
    QXmlStreamReader reader(bytes.toByteArray());
    std::vector<XmlElement> open; // the path from the root to the element being read
    std::optional<XmlElement> root;
    int elements = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (++elements > limits.elements || std::ssize(open) >= limits.depth)
                return std::nullopt;
            XmlElement element{reader.namespaceUri().toString(), reader.name().toString()};
            element.nameAttribute = reader.attributes().value(QLatin1StringView("name")).toString();
            open.push_back(std::move(element));
            break;
        }
        case QXmlStreamReader::EndElement: {
            XmlElement element = std::move(open.back());
            open.pop_back();
            if (open.empty())
                root = std::move(element);
            else
                open.back().children.push_back(std::move(element));
            break;
        }
        case QXmlStreamReader::Characters:
            if (!open.empty()) {
                QString& text = open.back().text;
                if (text.size() + reader.text().size() > limits.text)
                    return std::nullopt;
                text += reader.text();
            }
            break;
        // Entities are how XML answers grow without bound; a DAV answer never needs them.
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return std::nullopt;
        default:
            break;
        }
    }
    if (reader.hasError() || !root)
        return std::nullopt;
    return root;
}

} // namespace vantory
