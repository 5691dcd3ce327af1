// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/GnomeTopBarSwitch.h"

#include "ui/SettingsRows.h"

#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLabel>
#include <QVBoxLayout>

#include "desktop/GnomeExtension.h"

namespace vantory {

namespace {

const QString shell = QStringLiteral("org.gnome.Shell");
const QString shellPath = QStringLiteral("/org/gnome/Shell");
const QString extensions = QStringLiteral("org.gnome.Shell.Extensions");

} // namespace

GnomeTopBarSwitch::GnomeTopBarSwitch(QWidget* parent)
    : QWidget(parent)
    , toggle_(SettingsRows::toggle(
          tr("GNOME 상단 바에 표시"), QStringLiteral("gnome-top-bar"), false, [](bool) {}, this))
    , caption_(SettingsRows::caption(QString(), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toggle_);
    layout->addWidget(caption_);
    // Only the user's click asks the shell; the answers set the box without asking again.
    connect(toggle_, &QCheckBox::clicked, this, &GnomeTopBarSwitch::request);
    QDBusConnection::sessionBus().connect(shell, shellPath, extensions, QStringLiteral("ExtensionStateChanged"), this,
        SLOT(stateChanged(QString, QVariantMap)));
    toggle_->setEnabled(false);
    query();
}

void GnomeTopBarSwitch::query()
{
    auto* call = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(GnomeExtension::call("GetExtensionInfo")), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        const QDBusPendingReply<QVariantMap> info = *answer;
        if (info.isError())
            showFailure();
        else
            show(info.value());
    });
}

void GnomeTopBarSwitch::request(bool enable)
{
    toggle_->setEnabled(false);
    auto* call = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(GnomeExtension::call(enable ? "EnableExtension" : "DisableExtension")),
        this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        if (answer->isError())
            showFailure();
        else
            query();
    });
}

void GnomeTopBarSwitch::stateChanged(const QString& uuid, const QVariantMap& info)
{
    if (uuid == QLatin1String(GnomeExtension::uuid))
        show(info);
}

void GnomeTopBarSwitch::show(const QVariantMap& info)
{
    toggle_->setEnabled(true);
    if (info.isEmpty()) {
        // The shell reads the extension folders at login; on Wayland it cannot restart in place.
        toggle_->setChecked(false);
        caption_->setText(
            tr("GNOME이 아직 이 확장을 불러오지 않았습니다. 새로 설치한 확장은 로그아웃한 뒤 다시 로그인하면 켤 수 "
               "있습니다."));
        return;
    }
    const int state = qRound(info.value(QStringLiteral("state")).toDouble());
    toggle_->setChecked(state == GnomeExtension::enabled);
    switch (state) {
    case GnomeExtension::enabled:
        caption_->setText(tr("GNOME 상단 바에 일정이 표시되고, 화면 위쪽 막대와 트레이 아이콘은 숨겨집니다."));
        break;
    case GnomeExtension::error:
        caption_->setText(
            tr("확장을 켜지 못했습니다: %1").arg(info.value(QStringLiteral("error")).toString().left(200)));
        break;
    case GnomeExtension::outOfDate:
        caption_->setText(tr("이 GNOME 버전에서는 확장을 쓸 수 없습니다. Vantory를 업데이트해 주세요."));
        break;
    default:
        caption_->setText(tr("켜면 화면 위쪽 막대 대신 GNOME 상단 바에 일정을 표시합니다."));
    }
}

void GnomeTopBarSwitch::showFailure()
{
    toggle_->setEnabled(true);
    toggle_->setChecked(false);
    caption_->setText(tr("GNOME Shell에 연결하지 못했습니다. 확장 앱에서 Vantory를 켜 주세요."));
}

} // namespace vantory
