// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>
#include <QWidget>

class QCheckBox;
class QLabel;

namespace vantory {

// "GNOME 상단 바에 표시": turns Vantory's GNOME Shell extension on or off through the shell's own
// org.gnome.Shell.Extensions service, as the Extensions app does, and says what came of it (on
// Wayland a newly installed extension loads only at the next login). Asynchronous throughout: the
// shell answers when it can, and the switch waits disabled meanwhile.
class GnomeTopBarSwitch : public QWidget {
    Q_OBJECT

public:
    // Offered in GNOME sessions only (GnomeExtension::session).
    explicit GnomeTopBarSwitch(QWidget* parent = nullptr);

private Q_SLOTS:
    void stateChanged(const QString& uuid, const QVariantMap& info);

private:
    void query();
    void request(bool enable);
    void show(const QVariantMap& info);
    void showFailure();

    QCheckBox* toggle_;
    QLabel* caption_;
};

} // namespace vantory
