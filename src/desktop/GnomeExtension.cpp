// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/GnomeExtension.h"

#include <QStringList>

namespace vantory::GnomeExtension {

bool session()
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':')).contains(QLatin1String("GNOME"));
}

QDBusMessage call(const char* method)
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"),
        QStringLiteral("/org/gnome/Shell"), QStringLiteral("org.gnome.Shell.Extensions"), QString::fromLatin1(method));
    message << QString::fromLatin1(uuid);
    return message;
}

} // namespace vantory::GnomeExtension
