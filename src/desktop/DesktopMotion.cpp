#include "desktop/DesktopMotion.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QStyle>

namespace vantory::DesktopMotion {

namespace {

// The frame of a transition must not wait long for a setting that is only a preference.
constexpr int portalTimeoutMilliseconds = 250;

bool gnomeAnimationsOff()
{
    const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // Only ask a portal that already runs: activating one could take seconds. Asked with the
    // short time-out, since the bus interface's own calls wait up to 25 s.
    QDBusMessage owned = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("NameHasOwner"));
    owned << service;
    const QDBusMessage ownedReply = bus.call(owned, QDBus::Block, portalTimeoutMilliseconds);
    if (ownedReply.type() != QDBusMessage::ReplyMessage || ownedReply.arguments().isEmpty()
        || !ownedReply.arguments().constFirst().toBool())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    call << QStringLiteral("org.gnome.desktop.interface") << QStringLiteral("enable-animations");
    const QDBusMessage reply = bus.call(call, QDBus::Block, portalTimeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    // Depending on the portal version the value comes inside one variant or two.
    QVariant value = reply.arguments().constFirst();
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value.userType() == QMetaType::Bool && !value.toBool();
}

} // namespace

bool reduced()
{
    if (const QStyle* style = QApplication::style();
        style && style->styleHint(QStyle::SH_Widget_Animation_Duration) == 0)
        return true;
    return gnomeAnimationsOff();
}

} // namespace vantory::DesktopMotion
