// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SegmentButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include "desktop/ItemColors.h"

namespace vantory {

SegmentButton::SegmentButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    setCheckable(true);
    // Qt's accessible button is a radio button when auto-exclusive; a button group, if any, still rules.
    setAutoExclusive(true);
    setAutoDefault(false);
}

void SegmentButton::paintEvent(QPaintEvent* event)
{
    if (!isChecked()) {
        QPushButton::paintEvent(event);
        return;
    }
    const ItemColors colors = selectedItemColors(palette());
    QStylePainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colors.backdrop);
    painter.drawRoundedRect(box, 3, 3);
    if (hasFocus()) {
        painter.setPen(QPen(colors.text, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(2.5, 2.5, -2.5, -2.5), 2, 2);
    }
    QStyleOptionButton option;
    initStyleOption(&option);
    option.palette.setColor(QPalette::ButtonText, colors.text);
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
}

} // namespace vantory
