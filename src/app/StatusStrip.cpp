// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatusStrip.h"

#include <QMouseEvent>
#include <QPainter>

#include "desktop/Legibility.h"
#include "desktop/StatusContentView.h"

namespace vantory {

StatusStrip::StatusStrip()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , view_(new StatusContentView(this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Qt shows tooltips only for the active window otherwise, and a strip that takes no focus
    // is never active.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Opaque: without a compositing manager a translucent window shows black where it is clear.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The strip's colours do not follow the desktop palette: the view draws its default text and
    // picks its halos from these.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Legibility::backdrop);
    colours.setColor(QPalette::WindowText, Legibility::defaultText);
    setPalette(colours);
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

void StatusStrip::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Legibility::backdrop);
}

void StatusStrip::resizeEvent(QResizeEvent* event)
{
    view_->setGeometry(rect());
    QWidget::resizeEvent(event);
}

} // namespace vantory
