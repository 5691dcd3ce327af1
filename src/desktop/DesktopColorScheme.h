// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariant>

#include <optional>

#include "desktop/ColorScheme.h"

class QSettings;

namespace vantory {

// Light or dark screens, as the desktop's style says (its settings portal, live) until the student
// picks one in the colour window's "화면 모드", which is kept in the preferences file. A change
// applies to the application palette at once, so every open window follows; the strip keeps its
// own colours.
class DesktopColorScheme : public QObject {
    Q_OBJECT

public:
    // `settings` (~/.config/Vantory/Vantory.conf) holds the choice and must outlive this. Applies
    // the stored choice; the desktop counts as having no preference until followDesktop().
    explicit DesktopColorScheme(QSettings& settings, QObject* parent = nullptr);

    // Reads the desktop's scheme from the running portal (at most about a second when it hangs)
    // and follows its announcements from now on.
    void followDesktop();

    SchemeChoice choice() const { return choice_; }
    // Saves the student's choice and applies it.
    void setChoice(SchemeChoice choice);

    // A setting the portal announced or answered: org.freedesktop.appearance color-scheme, or
    // GNOME's org.gnome.desktop.interface color-scheme, which counts while the first is unknown.
    // Anything else, or a value of the wrong type, changes nothing.
    void desktopSettingChanged(const QString& group, const QString& key, const QVariant& value);

private Q_SLOTS:
    // Taken whole, so a signal of another signature is dropped rather than half read.
    void portalSettingChanged(const QDBusMessage& message);

private:
    void apply();

    QSettings& settings_;
    SchemeChoice choice_;
    std::optional<DesktopScheme> appearance_;
    std::optional<DesktopScheme> gnome_;
    // What apply() last gave the application, so a repeated announcement repaints nothing.
    std::optional<std::optional<bool>> applied_;
};

} // namespace vantory
