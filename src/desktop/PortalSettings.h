// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

namespace vantory::PortalSettings {

// The desktop's settings portal (org.freedesktop.portal.Settings), which GNOME and KDE both run.
inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString interface = QStringLiteral("org.freedesktop.portal.Settings");

// The setting `key` of `group` as the already-running portal reports it, or an invalid QVariant
// when none runs, it has no such setting or it does not answer within 250 ms (the check that it
// runs waits as long again). Never starts a portal: activating one could take seconds.
QVariant read(const QString& group, const QString& key);

// A portal value as it arrives, inside one D-Bus variant or two depending on the portal's version.
QVariant unwrap(QVariant value);

} // namespace vantory::PortalSettings
