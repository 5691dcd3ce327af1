// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StripPreference.h"

#include <QSettings>

namespace vantory::StripPreference {

namespace {

const QString key = QStringLiteral("statusItem/trayOnly");

} // namespace

bool stripWanted(const QStringList& arguments, QSettings& settings)
{
    for (auto argument = arguments.crbegin(); argument != arguments.crend(); ++argument) {
        if (*argument == QLatin1String("--tray-only") || *argument == QLatin1String("--with-strip")) {
            const bool trayOnly = *argument == QLatin1String("--tray-only");
            settings.setValue(key, trayOnly);
            settings.sync();
            return !trayOnly;
        }
    }
    return !settings.value(key, tilingSession()).toBool();
}

bool tilingSession()
{
    if (!qEnvironmentVariableIsEmpty("SWAYSOCK") || !qEnvironmentVariableIsEmpty("HYPRLAND_INSTANCE_SIGNATURE"))
        return true;
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
    for (const char* tiling : {"sway", "Hyprland", "river"}) {
        if (desktops.contains(QLatin1String(tiling), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace vantory::StripPreference
