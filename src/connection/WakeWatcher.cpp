// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/WakeWatcher.h"

#include <QDBusConnection>

namespace vantory {

WakeWatcher::WakeWatcher(std::function<void()> onWake, QObject* parent)
    : QObject(parent)
    , onWake_(std::move(onWake))
{
    QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
}

void WakeWatcher::prepareForSleep(bool sleeping)
{
    if (!sleeping)
        onWake_();
}

} // namespace vantory
