// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"

#include "app/DeadlineReminders.h"
#include "app/DesktopNotifications.h"
#include "app/LineService.h"
#include "app/StatusItem.h"
#include "status/BarLine.h"

#include <QColor>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QUrl>

#include "desktop/GnomeExtension.h"
#include "desktop/QtColor.h"
#include "desktop/StatusContentView.h"

namespace vantory {

namespace {

Qt::Alignment qtAlignment(StatusLine::Alignment alignment)
{
    switch (alignment) {
    case StatusLine::Alignment::left:
        return Qt::AlignLeft;
    case StatusLine::Alignment::right:
        return Qt::AlignRight;
    case StatusLine::Alignment::center:
        break;
    }
    return Qt::AlignHCenter;
}

} // namespace

AppDelegate::AppDelegate(std::filesystem::path stateFile, Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , scheduler_(scheduler)
    , store_(std::move(stateFile), scheduler.now())
    , boundary_(scheduler, [this] { updateStatus(); })
    , panelWait_(scheduler, [this] { releaseStrip(); })
{
    lineState_.rotationStarted = store_.now();
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::start()
{
    item_ = std::make_unique<StatusItem>(store_.db().settings.statusWidth.value_or(SettingsDefaults::statusWidth));
    // The hooks are read at click time: windows install them later.
    const auto activate = [this](const QRect& anchor) {
        if (popoverToggle)
            popoverToggle(anchor);
        else if (store_.calendarWindow)
            store_.calendarWindow();
    };
    connect(item_.get(), &StatusItem::activated, this, [this, activate] { activate(item_->anchor()); });
    connect(item_.get(), &StatusItem::contextRequested, this, [this] {
        if (store_.settingsWindow)
            store_.settingsWindow();
    });
    store_.onChange = [this] { updateStatus(); };
    // Store::open hands over only https URLs on the two site hosts.
    if (!store_.openURL)
        store_.openURL = [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); };
    store_.observe([this](Store::Field field) {
        if (field == Store::Field::storageError) {
            updateStatus();
            announceStorageProblem();
        }
    });
    reminders_ = std::make_unique<DeadlineReminders>(
        store_, scheduler_, std::make_unique<DesktopNotifications>(QDBusConnection::sessionBus()));
    lineService_ = std::make_unique<LineService>(store_, QDBusConnection::sessionBus());
    lineService_->showDashboard = activate;
    connect(lineService_.get(), &LineService::panelShownChanged, this, [this](bool shown) {
        item_->setPanelShown(shown);
        if (shown)
            releaseStrip(); // hidden by the panel from now on, and shown again when it leaves
    });
    updateStatus();
    lineService_->publish();
    awaitShellPanel();
    if (store_.storageError())
        announceStorageProblem();
}

// With Vantory's extension enabled in GNOME, the strip waits for the extension's panel rather than
// flash under GNOME's top bar; if the panel does not come within a few seconds, the strip shows.
void AppDelegate::awaitShellPanel()
{
    if (!GnomeExtension::session())
        return;
    item_->setStripHeld(true);
    panelWait_.start(panelPatience);
    auto* call = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(GnomeExtension::call("GetExtensionInfo")), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        const QDBusPendingReply<QVariantMap> info = *answer;
        const bool enabled = info.isValid()
            && qRound(info.value().value(QStringLiteral("state")).toDouble()) == GnomeExtension::enabled;
        if (!enabled)
            releaseStrip();
    });
}

void AppDelegate::releaseStrip()
{
    panelWait_.stop();
    item_->setStripHeld(false);
}

void AppDelegate::announceStorageProblem()
{
    item_->notify(QStringLiteral("Vantory"), QString::fromStdString(storageProblem()));
}

void AppDelegate::updateStatus()
{
    store_.setNow(scheduler_.now());
    StatusContentView* view = item_->view();
    const StatusLineInput input{
        store_.db(), store_.now(), store_.lineStatus(), store_.lastUpdateText(), store_.warnings(), storageProblem()};
    lastLine_ = composeStatusLine(input, lineState_, &StatusContentView::measure);

    view->setHorizontalPadding(lastLine_.padding);
    view->setTextAlignment(qtAlignment(lastLine_.alignment));
    if (item_->length() != lastLine_.width)
        item_->setLength(lastLine_.width);
    view->showLine(
        lastLine_.coloredLine, QString::fromStdString(lastLine_.effect), lastLine_.duration, lastLine_.animate);
    item_->setToolTip(QString::fromStdString(lastLine_.tooltip));
    item_->setAccessibleName(QString::fromStdString(lastLine_.plainText));
    item_->setDotColor(lastLine_.dotHex.empty() ? QColor() : QtColor::fromHex(lastLine_.dotHex));

    if (lineService_)
        lineService_->setLine(lastLine_,
            QString::fromStdString(
                urgencyClass(lastLine_, store_.db(), store_.now(), store_.storageError().has_value())));
    boundary_.start(Scheduler::Duration(lastLine_.nextBoundary));
    Q_EMIT lineComposed();
}

std::string AppDelegate::storageProblem() const
{
    const auto& error = store_.storageError();
    return error ? *error + " (" + store_.statePath().string() + ")" : std::string();
}

void AppDelegate::activate(const QStringList&)
{
    if (store_.calendarWindow)
        store_.calendarWindow();
}

} // namespace vantory
