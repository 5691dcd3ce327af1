// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace vantory {

// What the desktop asks applications for, as the settings portal's org.freedesktop.appearance
// color-scheme says it (GNOME's and KDE's light/dark style).
enum class DesktopScheme { noPreference, dark, light };

// What the student picked in the colour window's "화면 모드": follow the desktop, or one scheme.
enum class SchemeChoice { system, light, dark };

namespace ColorScheme {

// The portal's org.freedesktop.appearance color-scheme: a uint32, 0 no preference, 1 dark,
// 2 light. Anything else (another type, a later value) is no answer at all.
std::optional<DesktopScheme> fromAppearance(const QVariant& value);

// GNOME's own org.gnome.desktop.interface color-scheme: "default", "prefer-dark" or
// "prefer-light"; anything else is no answer.
std::optional<DesktopScheme> fromGnome(const QVariant& value);

// Whether the screens are drawn dark: the student's choice, else the desktop's. No value means
// neither asks for a scheme, and the desktop's own palette stays as it is.
std::optional<bool> dark(SchemeChoice choice, DesktopScheme desktop);

// The choice as kept in the preferences file ("system", "light", "dark"); an unknown text is
// "system", so a hand-edited file cannot lock a scheme in.
QString key(SchemeChoice choice);
SchemeChoice choiceFromKey(const QString& key);

} // namespace ColorScheme

} // namespace vantory
