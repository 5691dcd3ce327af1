// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/DesktopMotion.h"

#include <QApplication>
#include <QStyle>

#include "desktop/PortalSettings.h"

namespace vantory::DesktopMotion {

bool reduced()
{
    if (const QStyle* style = QApplication::style();
        style && style->styleHint(QStyle::SH_Widget_Animation_Duration) == 0)
        return true;
    const QVariant animations
        = PortalSettings::read(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"));
    return animations.userType() == QMetaType::Bool && !animations.toBool();
}

} // namespace vantory::DesktopMotion
