// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/ColorScheme.h"

namespace vantory::ColorScheme {

std::optional<DesktopScheme> fromAppearance(const QVariant& value)
{
    if (value.userType() != QMetaType::UInt)
        return std::nullopt;
    switch (value.toUInt()) {
    case 0:
        return DesktopScheme::noPreference;
    case 1:
        return DesktopScheme::dark;
    case 2:
        return DesktopScheme::light;
    default:
        return std::nullopt;
    }
}

std::optional<DesktopScheme> fromGnome(const QVariant& value)
{
    if (value.userType() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString();
    if (text == QLatin1String("default"))
        return DesktopScheme::noPreference;
    if (text == QLatin1String("prefer-dark"))
        return DesktopScheme::dark;
    if (text == QLatin1String("prefer-light"))
        return DesktopScheme::light;
    return std::nullopt;
}

std::optional<bool> dark(SchemeChoice choice, DesktopScheme desktop)
{
    switch (choice) {
    case SchemeChoice::light:
        return false;
    case SchemeChoice::dark:
        return true;
    case SchemeChoice::system:
        break;
    }
    if (desktop == DesktopScheme::noPreference)
        return std::nullopt;
    return desktop == DesktopScheme::dark;
}

QString key(SchemeChoice choice)
{
    switch (choice) {
    case SchemeChoice::light:
        return QStringLiteral("light");
    case SchemeChoice::dark:
        return QStringLiteral("dark");
    case SchemeChoice::system:
        break;
    }
    return QStringLiteral("system");
}

SchemeChoice choiceFromKey(const QString& key)
{
    if (key == QLatin1String("light"))
        return SchemeChoice::light;
    if (key == QLatin1String("dark"))
        return SchemeChoice::dark;
    return SchemeChoice::system;
}

} // namespace vantory::ColorScheme
