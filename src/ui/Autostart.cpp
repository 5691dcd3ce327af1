// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vantory {

Autostart::Autostart(QString entryPath, QString program)
    : entryPath_(std::move(entryPath))
    , program_(std::move(program))
{
}

Autostart::Autostart()
    : Autostart(defaultEntryPath(), QCoreApplication::applicationFilePath())
{
}

QString Autostart::defaultEntryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/vantory.desktop");
}

bool Autostart::enabled() const
{
    QFile file(entryPath_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            inEntry = line == QStringLiteral("[Desktop Entry]");
        else if (inEntry && line.startsWith(QStringLiteral("Hidden"))) {
            const QString value = line.section(u'=', 1).trimmed();
            if (line.section(u'=', 0, 0).trimmed() == QStringLiteral("Hidden") && value == QStringLiteral("true"))
                return false;
        }
    }
    return true;
}

std::optional<QString> Autostart::setEnabled(bool enabled)
{
    if (!enabled) {
        if (!QFileInfo::exists(entryPath_) || QFile::remove(entryPath_))
            return std::nullopt;
        return tr("자동 실행 항목을 지우지 못했습니다: %1").arg(entryPath_);
    }
    const QString failure = tr("자동 실행 항목을 저장하지 못했습니다: %1").arg(entryPath_);
    const QString exec = execValue(program_);
    if (exec.isEmpty() || !QDir().mkpath(QFileInfo(entryPath_).absolutePath()))
        return failure;
    QSaveFile file(entryPath_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return failure;
    // The comment startup-program lists show, in the language in use when the entry is written.
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Vantory\n"
                                         "Comment=%1\nExec=%2\nTerminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(tr("과제 마감을 상단 표시줄에 보여 줍니다"), exec);
    file.write(entry.toUtf8());
    if (!file.commit())
        return failure;
    return std::nullopt;
}

QString Autostart::execValue(const QString& program)
{
    // Quoted argument: ", `, $ and \ take a backslash; then the value level doubles every
    // backslash, and % is the field-code escape.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return {};
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';
    return quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
}

} // namespace vantory
