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
    return !settings.value(key, false).toBool();
}

} // namespace vantory::StripPreference
