// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/DesktopColorScheme.h"

#include <QDBusConnection>
#include <QSettings>

#include "desktop/PortalSettings.h"
#include "desktop/SchemePalettes.h"

namespace vantory {

namespace {

const QString choiceKey = QStringLiteral("appearance/colorScheme");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString gnomeInterface = QStringLiteral("org.gnome.desktop.interface");
const QString colorScheme = QStringLiteral("color-scheme");

} // namespace

DesktopColorScheme::DesktopColorScheme(QSettings& settings, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , choice_(ColorScheme::choiceFromKey(settings.value(choiceKey).toString()))
{
    apply();
}

void DesktopColorScheme::followDesktop()
{
    // Subscribed first, so a change between the read and the subscription is not missed.
    QDBusConnection::sessionBus().connect(PortalSettings::service, PortalSettings::path, PortalSettings::interface,
        QStringLiteral("SettingChanged"), this, SLOT(portalSettingChanged(QDBusMessage)));
    for (const QString& group : {appearance, gnomeInterface})
        desktopSettingChanged(group, colorScheme, PortalSettings::read(group, colorScheme));
}

void DesktopColorScheme::setChoice(SchemeChoice choice)
{
    settings_.setValue(choiceKey, ColorScheme::key(choice));
    settings_.sync();
    choice_ = choice;
    apply();
}

void DesktopColorScheme::desktopSettingChanged(const QString& group, const QString& key, const QVariant& value)
{
    if (key != colorScheme)
        return;
    if (group == appearance) {
        if (const auto scheme = ColorScheme::fromAppearance(value))
            appearance_ = scheme;
    } else if (group == gnomeInterface) {
        if (const auto scheme = ColorScheme::fromGnome(value))
            gnome_ = scheme;
    } else {
        return;
    }
    apply();
}

void DesktopColorScheme::portalSettingChanged(const QDBusMessage& message)
{
    const QVariantList arguments = message.arguments();
    if (message.signature() != QLatin1String("ssv") || arguments.size() != 3)
        return;
    desktopSettingChanged(arguments[0].toString(), arguments[1].toString(), PortalSettings::unwrap(arguments[2]));
}

void DesktopColorScheme::apply()
{
    const DesktopScheme desktop = appearance_.value_or(gnome_.value_or(DesktopScheme::noPreference));
    const std::optional<bool> dark = ColorScheme::dark(choice_, desktop);
    if (applied_ && *applied_ == dark)
        return;
    applied_ = dark;
    SchemePalettes::apply(dark);
}

} // namespace vantory
