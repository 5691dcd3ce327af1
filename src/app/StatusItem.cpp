// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatusItem.h"

#include "app/StatusStrip.h"
#include "app/X11Desktop.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolTip>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "desktop/StatusContentView.h"

namespace vantory {

namespace {

constexpr int stripHeight = 26;
constexpr int screenMargin = 4;

QIcon dotIcon(const QColor& color)
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(8, 8, 48, 48));
    return QIcon(pixmap);
}

QRect nativeRect(const QRect& rect, double ratio)
{
    return QRect(QPoint(qRound(rect.left() * ratio), qRound(rect.top() * ratio)),
        QSize(qRound(rect.width() * ratio), qRound(rect.height() * ratio)));
}

} // namespace

StatusItem::StatusItem(double length, QObject* parent)
    : QObject(parent)
    , length_(length)
    , strip_(std::make_unique<StatusStrip>())
    , desktop_(X11Desktop::create())
    , visibility_([this](bool map) { requestStrip(map); })
{
    connect(strip_.get(), &StatusStrip::clicked, this, [this] {
        trayClicked_ = false;
        Q_EMIT activated();
    });
    connect(strip_.get(), &StatusStrip::rightClicked, this, [this] {
        trayClicked_ = false;
        Q_EMIT contextRequested();
    });
    createTray();

    watchScreen(QGuiApplication::primaryScreen());
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &StatusItem::watchScreen);
    if (desktop_) {
        // A panel that leaves changes the client list but not always the work area, which our
        // own reservation may still define.
        connect(desktop_.get(), &X11Desktop::clientsChanged, this, &StatusItem::place);
        // Queued: Qt's own tray tracking sees the same X event after this filter.
        connect(desktop_.get(), &X11Desktop::trayChanged, this, &StatusItem::updateStrip, Qt::QueuedConnection);
        connect(desktop_.get(), &X11Desktop::mapChanged, this, [this](std::uint32_t window, bool mapped) {
            if (!strip_->windowHandle() || window != strip_->winId())
                return;
            if (mapped)
                desktop_->stickToAllDesktops(*strip_->windowHandle());
            visibility_.reported(mapped);
        });
    }
    place();
    QMetaObject::invokeMethod(this, &StatusItem::updateStrip, Qt::QueuedConnection);
}

StatusItem::~StatusItem() = default;

// Qt shows the icon by itself once a tray appears, after start-up or after a panel restart,
// provided the icon was shown: an XEmbed tray announces itself with a MANAGER message, and a
// StatusNotifierItem watcher that restarts gets the item registered again. Qt 6.4 picks the
// protocol once per process, at the first icon, so an icon created over XEmbed stays there.
void StatusItem::createTray()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") && !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    tray_ = new QSystemTrayIcon(this);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        trayClicked_ = true;
        trayClickPointer_ = QCursor::pos();
        if (reason != QSystemTrayIcon::Context)
            Q_EMIT activated();
        else if (!tray_->contextMenu())
            Q_EMIT contextRequested();
    });
    setDotColor(QColor());
    tray_->show();

    // Only the tray-only fallback needs to know when a StatusNotifierItem host comes or goes.
    auto* watcher = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
        QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &StatusItem::updateStrip);
}

void StatusItem::watchScreen(QScreen* screen)
{
    if (!screen)
        return;
    // Our own reservation changes the available area too; place() leaves it out, so this
    // settles after one more call instead of pushing the strip down.
    connect(screen, &QScreen::availableGeometryChanged, this, &StatusItem::place, Qt::UniqueConnection);
    connect(screen, &QScreen::geometryChanged, this, &StatusItem::place, Qt::UniqueConnection);
    place();
}

StatusContentView* StatusItem::view() const
{
    return strip_->view();
}

void StatusItem::setLength(double points)
{
    length_ = points;
    place();
}

// The setters run on every composition; each skips an unchanged value, since the tray and the
// accessibility bridge send a message for every change.
void StatusItem::setToolTip(const QString& text)
{
    const QString shown = strip_->toolTip();
    if (shown == text)
        return;
    strip_->setToolTip(text);
    if (tray_)
        tray_->setToolTip(text);
    // A tooltip showing the old text is the strip's or the XEmbed tray icon's, which Qt draws too;
    // a StatusNotifierItem host reads the new text itself.
    if (QToolTip::isVisible() && QToolTip::text() == shown)
        QToolTip::showText(QCursor::pos(), text, strip_->underMouse() ? strip_.get() : nullptr);
}

void StatusItem::notify(const QString& title, const QString& message)
{
    if (tray_ && tray_->isVisible())
        tray_->showMessage(title, message, QSystemTrayIcon::Warning);
}

void StatusItem::setAccessibleName(const QString& text)
{
    if (strip_->accessibleName() == text)
        return;
    strip_->setAccessibleName(text);
    strip_->setWindowTitle(text);
}

void StatusItem::setDotColor(const QColor& color)
{
    const QColor shown = color.isValid() ? color : strip_->palette().color(QPalette::WindowText);
    if (!tray_ || shown == dotColor_)
        return;
    dotColor_ = shown;
    tray_->setIcon(dotIcon(shown));
}

void StatusItem::setStripWanted(bool wanted)
{
    stripWanted_ = wanted;
    updateStrip();
}

bool StatusItem::stripShown() const
{
    return strip_->isVisible();
}

void StatusItem::setPanelShown(bool shown)
{
    if (tray_)
        tray_->setVisible(!shown);
    visibility_.setReason(StripVisibility::Reason::panelShown, shown);
}

void StatusItem::setStripHeld(bool held)
{
    visibility_.setReason(StripVisibility::Reason::awaitingPanel, held);
}

void StatusItem::setTrayMenu(QMenu* menu)
{
    if (tray_)
        tray_->setContextMenu(menu);
}

QRect StatusItem::anchor() const
{
    if (!trayClicked_ || !tray_)
        return strip_->geometry();
    if (const QRect icon = tray_->geometry(); icon.isValid())
        return icon;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (X11Desktop::seesAllInput() || !screen)
        return QRect(trayClickPointer_, QSize(1, 1));
    return trayPlace(screen->geometry(), screen->availableGeometry());
}

QRect StatusItem::trayPlace(const QRect& screen, const QRect& available)
{
    const int top = available.top() - screen.top();
    const int bottom = screen.bottom() - available.bottom();
    const int left = available.left() - screen.left();
    const int right = screen.right() - available.right();
    const int widest = std::max({top, bottom, left, right});
    if (widest == bottom && bottom > 0)
        return QRect(available.right(), available.bottom() + 1, 1, bottom);
    if (widest == left && left > 0)
        return QRect(screen.left(), available.bottom(), left, 1);
    if (widest == right && right > 0)
        return QRect(available.right() + 1, available.bottom(), right, 1);
    return QRect(available.right(), screen.top(), 1, std::max(top, 1));
}

void StatusItem::updateStrip()
{
    visibility_.setReason(
        StripVisibility::Reason::trayChosen, !stripWanted_ && tray_ && QSystemTrayIcon::isSystemTrayAvailable());
}

void StatusItem::requestStrip(bool map)
{
    if (!map) {
        // An unmap of a window that is not mapped (the window manager unmapped it) sends no report.
        const bool reached = desktop_ && !desktop_->isMapped(*strip_->windowHandle());
        strip_->hide();
        if (!desktop_ || reached)
            visibility_.reported(false);
        return;
    }
    if (desktop_) {
        strip_->winId(); // the native window, to declare before it is mapped
        desktop_->makeDock(*strip_->windowHandle());
        reserved_ = {};
    }
    place();
    strip_->show();
    if (!desktop_)
        visibility_.reported(true);
}

void StatusItem::place()
{
    const int width = static_cast<int>(std::ceil(length_));
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        strip_->setGeometry(0, 0, width, stripHeight);
        return;
    }
    const QRect area = screen->availableGeometry();
    QRect frame(area.right() - screenMargin - width + 1, area.top(), width, stripHeight);
    if (!desktop_ || !strip_->windowHandle()) {
        strip_->setGeometry(frame);
        return;
    }
    // The strip goes below whatever the window manager keeps free at the top: the other clients'
    // struts over its columns, and the work area, through which a shell whose panel is no X
    // client (GNOME's top bar) reserves its space. Our own strut is part of the work area once
    // applied; a work area that ends exactly at it tells nothing new, so the strip keeps its place.
    const double ratio = screen->devicePixelRatio();
    const QRect native = nativeRect(frame, ratio);
    int top = qRound(area.top() * ratio);
    if (reserved_.isValid() && top == reserved_.bottom() + 1)
        top = reserved_.top();
    if (const auto reserved = desktop_->reservedTopByOthers(*strip_->windowHandle(), native.left(), native.right()))
        top = std::max(top, *reserved);
    frame.moveTop(std::max(screen->geometry().top(), static_cast<int>(std::ceil(top / ratio))));
    strip_->setGeometry(frame);
    if (const QRect wanted = nativeRect(frame, ratio); wanted != reserved_) {
        desktop_->reserveTop(*strip_->windowHandle(), wanted);
        reserved_ = wanted;
    }
}

} // namespace vantory
