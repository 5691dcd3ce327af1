#include "app/StatusStrip.h"

#include "app/StatusContentView.h"

#include <QMouseEvent>
#include <QPainter>

namespace vantory {

StatusStrip::StatusStrip()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , view_(new StatusContentView(this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleDescription(QStringLiteral("Vantory"));
}

void StatusStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    else if (event->button() == Qt::RightButton)
        Q_EMIT rightClicked();
    event->accept();
}

void StatusStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor backdrop = palette().color(QPalette::Window);
    backdrop.setAlphaF(0.92f);
    painter.setBrush(backdrop);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}

void StatusStrip::resizeEvent(QResizeEvent* event)
{
    view_->setGeometry(rect());
    QWidget::resizeEvent(event);
}

} // namespace vantory
