// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QVariantMap>
#include <QtGlobal>

namespace vantory {

namespace {

QString service()
{
    return QStringLiteral("org.freedesktop.Notifications");
}

QString path()
{
    return QStringLiteral("/org/freedesktop/Notifications");
}

} // namespace

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus, QObject* parent)
    : Notifier(parent)
    , bus_(bus)
{
    bus_.connect(
        service(), path(), service(), QStringLiteral("ActionInvoked"), this, SLOT(onActionInvoked(uint, QString)));
    bus_.connect(service(), path(), service(), QStringLiteral("NotificationClosed"), this, SLOT(onClosed(uint, uint)));
    auto* watcher = new QDBusServiceWatcher(service(), bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &Notifier::serviceChanged);
}

DesktopNotifications::~DesktopNotifications() = default;

void DesktopNotifications::show(const Notification& notification, Shown shown)
{
    const QString openLabel = tr("과제 페이지 열기");
    const QStringList actions{QString::fromUtf8(defaultAction), openLabel, QString::fromUtf8(openAction), openLabel,
        QString::fromUtf8(doneAction), tr("완료 처리")};
    QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(notification.critical ? 2 : 1)}};
    // The server finds the application's name and icon, and its notification settings, by the entry.
    if (const QString entry = QGuiApplication::desktopFileName(); !entry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), entry);
    QDBusMessage call = QDBusMessage::createMethodCall(service(), path(), service(), QStringLiteral("Notify"));
    call << QStringLiteral("Vantory") << uint(notification.replaces) << QStringLiteral("vantory")
         << notification.summary << notification.body << actions << hints << -1;

    // A call on a bus that is not there has already failed; the watcher still reports it later.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, callTimeoutMilliseconds), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, shown = std::move(shown)](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            // A reply of another signature is an error here, as is no reply at all.
            const QDBusPendingReply<uint> reply = *finished;
            if (reply.isError()) {
                if (!failureLogged_) {
                    failureLogged_ = true;
                    qWarning().noquote() << "Vantory: no desktop notification shown:" << reply.error().message();
                }
                shown(std::nullopt);
                return;
            }
            failureLogged_ = false;
            shown(reply.value());
        });
}

void DesktopNotifications::onActionInvoked(uint id, const QString& action)
{
    Q_EMIT actionInvoked(id, action);
}

void DesktopNotifications::onClosed(uint id, uint)
{
    Q_EMIT closed(id);
}

} // namespace vantory
