#include "app/StatusItem.h"

#include "app/StatusStrip.h"
#include "app/X11Desktop.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
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
    if (strip_->toolTip() == text)
        return;
    strip_->setToolTip(text);
    if (tray_)
        tray_->setToolTip(text);
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
    panelShown_ = shown;
    if (tray_)
        tray_->setVisible(!shown);
    updateStrip();
}

void StatusItem::setStripHeld(bool held)
{
    stripHeld_ = held;
    updateStrip();
}

void StatusItem::setTrayMenu(QMenu* menu)
{
    if (tray_)
        tray_->setContextMenu(menu);
}

QRect StatusItem::anchor() const
{
    if (trayClicked_ && tray_ && tray_->geometry().isValid())
        return tray_->geometry();
    return strip_->geometry();
}

void StatusItem::updateStrip()
{
    const bool show
        = !stripHeld_ && !panelShown_ && (stripWanted_ || !tray_ || !QSystemTrayIcon::isSystemTrayAvailable());
    if (show == strip_->isVisible())
        return;
    if (!show) {
        strip_->hide();
        return;
    }
    if (desktop_) {
        strip_->winId(); // the native window, to declare before it is mapped
        desktop_->makeDock(*strip_->windowHandle());
        reserved_ = {};
    }
    place();
    strip_->show();
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
