// SPDX-License-Identifier: GPL-3.0-or-later
#include "caldav/DavBodies.h"

#include "caldav/DavXml.h"

#include <QXmlStreamWriter>

namespace vantory::DavBodies {

namespace {

// A writer over the document's bytes. QXmlStreamWriter escapes any text inside, and the end of the
// document closes every element left open.
class Document {
public:
    Document()
        : writer_(&bytes_)
    {
        writer_.writeStartDocument();
        writer_.writeNamespace(davNamespace.toString(), QStringLiteral("D"));
        writer_.writeNamespace(calDavNamespace.toString(), QStringLiteral("C"));
        writer_.writeNamespace(calendarServerNamespace.toString(), QStringLiteral("CS"));
    }

    Document& open(QStringView space, QStringView name)
    {
        writer_.writeStartElement(space.toString(), name.toString());
        return *this;
    }
    Document& empty(QStringView space, QStringView name)
    {
        writer_.writeEmptyElement(space.toString(), name.toString());
        return *this;
    }
    Document& text(QStringView space, QStringView name, const QString& text)
    {
        writer_.writeTextElement(space.toString(), name.toString(), text);
        return *this;
    }
    Document& attribute(QStringView name, QStringView value)
    {
        writer_.writeAttribute(name.toString(), value.toString());
        return *this;
    }
    Document& close()
    {
        writer_.writeEndElement();
        return *this;
    }
    QByteArray bytes()
    {
        writer_.writeEndDocument();
        return bytes_;
    }

private:
    QByteArray bytes_;
    QXmlStreamWriter writer_;
};

} // namespace

QByteArray discovery()
{
    return Document()
        .open(davNamespace, u"propfind")
        .open(davNamespace, u"prop")
        .empty(davNamespace, u"resourcetype")
        .empty(davNamespace, u"displayname")
        .empty(davNamespace, u"current-user-principal")
        .empty(calDavNamespace, u"calendar-home-set")
        .empty(calDavNamespace, u"supported-calendar-component-set")
        .bytes();
}

QByteArray tags()
{
    return Document()
        .open(davNamespace, u"propfind")
        .open(davNamespace, u"prop")
        .empty(davNamespace, u"resourcetype")
        .empty(davNamespace, u"getetag")
        .empty(davNamespace, u"sync-token")
        .empty(calendarServerNamespace, u"getctag")
        .bytes();
}

QByteArray makeCalendar(const QString& displayName)
{
    return Document()
        .open(calDavNamespace, u"mkcalendar")
        .open(davNamespace, u"set")
        .open(davNamespace, u"prop")
        .text(davNamespace, u"displayname", displayName)
        .open(calDavNamespace, u"supported-calendar-component-set")
        .empty(calDavNamespace, u"comp")
        .attribute(u"name", u"VTODO")
        .bytes();
}

QByteArray syncCollection(const QString& token)
{
    return Document()
        .open(davNamespace, u"sync-collection")
        .text(davNamespace, u"sync-token", token)
        .text(davNamespace, u"sync-level", QStringLiteral("1"))
        .open(davNamespace, u"prop")
        .empty(davNamespace, u"getetag")
        .bytes();
}

QByteArray multiget(std::span<const QUrl> hrefs)
{
    Document document;
    document.open(calDavNamespace, u"calendar-multiget")
        .open(davNamespace, u"prop")
        .empty(davNamespace, u"getetag")
        .empty(calDavNamespace, u"calendar-data")
        .close();
    for (const QUrl& href : hrefs)
        document.text(davNamespace, u"href", href.path(QUrl::FullyEncoded));
    return document.bytes();
}

} // namespace vantory::DavBodies
