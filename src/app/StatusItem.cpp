#include "app/StatusItem.h"

#include "app/StatusContentView.h"
#include "app/StatusStrip.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>

#include <cmath>

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

} // namespace

StatusItem::StatusItem(double length, QObject* parent)
    : QObject(parent)
    , length_(length)
    , strip_(std::make_unique<StatusStrip>())
{
    connect(strip_.get(), &StatusStrip::clicked, this, &StatusItem::activated);
    connect(strip_.get(), &StatusStrip::rightClicked, this, &StatusItem::contextRequested);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new QSystemTrayIcon(this);
        connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Context)
                Q_EMIT contextRequested();
            else
                Q_EMIT activated();
        });
        setDotColor(QColor());
        tray_->show();
    }

    if (QScreen* screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::availableGeometryChanged, this, &StatusItem::place);
    place();
    strip_->show();
}

StatusItem::~StatusItem() = default;

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

QRect StatusItem::geometry() const
{
    return strip_->geometry();
}

void StatusItem::place()
{
    const int width = static_cast<int>(std::ceil(length_));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, width, stripHeight);
    strip_->setGeometry(area.right() - screenMargin - width + 1, area.top(), width, stripHeight);
}

} // namespace vantory
