// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/PortalSettings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace vantory::PortalSettings {

namespace {

// A setting read on the way to a frame or a window must not wait long for a preference.
constexpr int timeoutMilliseconds = 250;

} // namespace

QVariant unwrap(QVariant value)
{
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

QVariant read(const QString& group, const QString& key)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {};
    // Asked with the short time-out, since the bus interface's own calls wait up to 25 s.
    QDBusMessage owned = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("NameHasOwner"));
    owned << service;
    const QDBusMessage ownedReply = bus.call(owned, QDBus::Block, timeoutMilliseconds);
    if (ownedReply.type() != QDBusMessage::ReplyMessage || ownedReply.arguments().isEmpty()
        || !ownedReply.arguments().constFirst().toBool())
        return {};
    // Read rather than ReadOne: every portal version has it.
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Read"));
    call << group << key;
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return unwrap(reply.arguments().constFirst());
}

} // namespace vantory::PortalSettings
