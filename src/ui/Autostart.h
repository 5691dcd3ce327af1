// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

#include <optional>

namespace vantory {

// Launch at login through an XDG autostart entry: registered = the entry is written, enabled =
// it is present and not marked Hidden.
class Autostart {
    Q_DECLARE_TR_FUNCTIONS(Autostart)

public:
    // The entry at `entryPath` starts `program` (both absolute paths).
    Autostart(QString entryPath, QString program);
    // vantory.desktop under $XDG_CONFIG_HOME/autostart (~/.config when unset or relative),
    // starting the running program.
    Autostart();

    static QString defaultEntryPath();

    const QString& entryPath() const { return entryPath_; }
    bool enabled() const;
    // Writes or removes the entry; the text to show when that failed.
    std::optional<QString> setEnabled(bool enabled);

    // The Exec value that runs `program` with no arguments, quoted and escaped as the
    // desktop-entry format wants; empty for a path it cannot hold (a control character).
    static QString execValue(const QString& program);

private:
    QString entryPath_;
    QString program_;
};

} // namespace vantory
