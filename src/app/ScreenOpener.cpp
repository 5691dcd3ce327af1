// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScreenOpener.h"

#include "app/AppDelegate.h"
#include "app/LineService.h"
#include "app/Popover.h"
#include "app/StatusItem.h"
#include "app/TrayMenu.h"
#include "ui/EditAssessment.h"
#include "ui/ExportScreen.h"
#include "ui/ScreenWindow.h"
#include "ui/SettingsScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace vantory {

namespace {

// The usable area of the anchor's screen.
QRect screenArea(const QRect& anchor)
{
    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// Under the anchor, centred on it and kept in the area; above it when the anchor sits in the
// area's lower half (a tray icon in a bottom panel).
QPoint popoverPosition(const QRect& anchor, QSize size, const QRect& area)
{
    QPoint position(anchor.center().x() - size.width() / 2, anchor.bottom() + 1);
    if (anchor.center().y() > area.center().y())
        position.setY(anchor.top() - size.height());
    position.setX(std::clamp(position.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    position.setY(std::clamp(position.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    return position;
}

} // namespace

ScreenOpener::ScreenOpener(AppDelegate& delegate, Screens screens, Logins logins, QObject* parent)
    : QObject(parent)
    , delegate_(delegate)
    , store_(delegate.store())
    , screens_(std::move(screens))
    , logins_(std::move(logins))
{
    popover_ = std::make_unique<Popover>(Popover::forSession(), delegate.scheduler(), delegate.item()->desktop());
    (new QVBoxLayout(popover_.get()))->setContentsMargins(0, 0, 0, 0);
    buildPopoverDashboard();

    // A site without an address has no sign-in page: asking for one leads to its address.
    const auto signIn = [this](Site site, const std::function<void()>& login) {
        closePopover();
        if (!Sites::current().uses(site))
            showSchoolSites();
        else if (login)
            login();
    };
    store_.connect = [this, signIn] { signIn(Site::assessment, logins_.assessment); };
    store_.connectCanvas = [this, signIn] { signIn(Site::canvas, logins_.canvas); };
    store_.exportCalendar = [this] {
        closePopover();
        showExport();
    };
    store_.colorsWindow = [this] { showColors(); };
    store_.settingsWindow = [this] { showSettings(); };
    store_.schoolSitesWindow = [this] { showSchoolSites(); };
    store_.calendarWindow = [this] { showCalendar(); };
    delegate_.popoverToggle = [this](const QRect& anchor) { togglePopover(anchor); };
    if (LineService* service = delegate_.lineService())
        service->closeDashboard = [this] { closePopover(); };

    buildTrayMenu();
    // The menus offered elsewhere (the desktop shell's) follow the hooks just installed.
    delegate_.updateStatus();
}

void ScreenOpener::buildPopoverDashboard()
{
    delete popoverDashboard_;
    popoverDashboard_
        = screens_.dashboard(store_, [this](const Assessment& item, QWidget* over) { openEditor(item, over); });
    popover_->layout()->addWidget(popoverDashboard_);
}

void ScreenOpener::buildTrayMenu()
{
    trayMenu_
        = std::make_unique<TrayMenu>(store_, [this] { return QString::fromStdString(delegate_.lastLine().plainText); });
    connect(&delegate_, &AppDelegate::lineComposed, trayMenu_.get(), &TrayMenu::refresh);
    delegate_.item()->setTrayMenu(trayMenu_.get());
}

ScreenOpener::~ScreenOpener()
{
    delegate_.item()->setTrayMenu(nullptr);
    delegate_.popoverToggle = nullptr;
    if (LineService* service = delegate_.lineService())
        service->closeDashboard = nullptr;
    for (Store::Action* hook : {&store_.connect, &store_.connectCanvas, &store_.exportCalendar, &store_.colorsWindow,
             &store_.settingsWindow, &store_.calendarWindow})
        *hook = nullptr;
}

void ScreenOpener::togglePopover()
{
    togglePopover(delegate_.item()->anchor());
}

void ScreenOpener::togglePopover(const QRect& anchor)
{
    if (popover_->closesOnClick()) {
        closePopover();
        return;
    }
    delegate_.updateStatus();
    // The dashboard's size follows its font and contents, which may have changed since the last time.
    const QRect area = screenArea(anchor);
    const QSize size = popover_->sizeHint().boundedTo(area.size());
    popover_->resize(size);
    popover_->open(popoverPosition(anchor, size, area));
}

void ScreenOpener::closePopover()
{
    popover_->dismiss();
}

void ScreenOpener::showSettings()
{
    present(settings_, [this] { return new ScreenWindow(tr("Vantory 설정"), screens_.settings(store_, false)); });
}

void ScreenOpener::showSchoolSites()
{
    showSettings();
    auto* screen = settings_->findChild<SettingsScreen*>();
    if (!screen)
        return;
    screen->setTab(QString::fromUtf8(SettingsTabs::connection));
    if (auto* field = screen->findChild<QWidget*>(QStringLiteral("assessment-address")))
        field->setFocus(Qt::OtherFocusReason);
}

void ScreenOpener::showColors()
{
    present(colors_, [this] { return new ScreenWindow(tr("Vantory 색상"), screens_.settings(store_, true)); });
}

void ScreenOpener::showCalendar()
{
    present(calendar_, [this] {
        QWidget* dashboard
            = screens_.dashboard(store_, [this](const Assessment& item, QWidget* over) { openEditor(item, over); });
        return new ScreenWindow(tr("Vantory 캘린더"), dashboard);
    });
}

void ScreenOpener::showExport()
{
    present(export_, [this] { return new ScreenWindow(tr("캘린더 내보내기"), new ExportScreen(store_)); });
}

void ScreenOpener::handleArguments(const QStringList& arguments)
{
    if (arguments.contains(QStringLiteral("--show-calendar")))
        showCalendar();
}

void ScreenOpener::reword()
{
    closePopover();
    buildPopoverDashboard();
    buildTrayMenu();
    const auto* settings = settings_ ? settings_->findChild<SettingsScreen*>() : nullptr;
    const QString settingsTab = settings ? settings->tab() : QString();
    for (const auto& [window, show] :
        {std::pair{&settings_, &ScreenOpener::showSettings}, std::pair{&colors_, &ScreenOpener::showColors},
            std::pair{&calendar_, &ScreenOpener::showCalendar}, std::pair{&export_, &ScreenOpener::showExport}}) {
        if (!*window)
            continue;
        const bool shown = (*window)->isVisible();
        const QPoint position = (*window)->pos();
        window->reset();
        if (!shown)
            continue;
        (this->*show)();
        (*window)->move(position);
    }
    if (auto* screen = settings_ && settings_->isVisible() ? settings_->findChild<SettingsScreen*>() : nullptr) {
        screen->setTab(settingsTab);
        if (auto* picker = screen->findChild<QWidget*>(QStringLiteral("language")))
            picker->setFocus(Qt::OtherFocusReason);
    }
    delegate_.updateStatus();
}

void ScreenOpener::present(std::unique_ptr<ScreenWindow>& window, const std::function<ScreenWindow*()>& create)
{
    closePopover();
    if (!window)
        window.reset(create());
    window->present();
}

void ScreenOpener::openEditor(const Assessment& item, QWidget* over)
{
    // A popup closes at the first click outside it, so the sheet cannot sit over the popover: it
    // opens as a window of its own once the popover is gone.
    QWidget* host = over ? over->window() : nullptr;
    if (host == popover_.get()) {
        closePopover();
        host = nullptr;
    }
    auto* sheet = new EditAssessment(store_, item, host);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->open();
}

} // namespace vantory
