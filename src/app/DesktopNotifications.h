// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Notifier.h"

#include <QDBusConnection>

namespace vantory {

// Notifications through the freedesktop notification service (org.freedesktop.Notifications) on a
// D-Bus connection, normally the session bus. Calls are asynchronous, so a service that hangs costs
// a time-out, never a frozen strip. Signals count only from the service's current owner, and only
// with the signature the protocol gives them. Without a service every show fails, and the first
// failure after a success (or at start) is logged once.
class DesktopNotifications : public Notifier {
    Q_OBJECT

public:
    static constexpr int callTimeoutMilliseconds = 10000;

    explicit DesktopNotifications(const QDBusConnection& bus, QObject* parent = nullptr);
    ~DesktopNotifications() override;

    void show(const Notification& notification, Shown shown) override;

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

private:
    QDBusConnection bus_;
    bool failureLogged_ = false;
};

} // namespace vantory
