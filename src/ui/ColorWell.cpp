// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorWell.h"

#include "ui/AccessibleText.h"
#include "ui/Scale.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include "desktop/QtColor.h"

namespace vantory {

ColorWell::ColorWell(const QString& name, QWidget* parent)
    : QToolButton(parent)
{
    setFixedSize(Scale::length(this, 44), Scale::length(this, 24));
    setAccessibleName(name);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QToolButton::clicked, this, &ColorWell::openDialog);
}

void ColorWell::setHex(const std::string& hex)
{
    hex_ = hex;
    const QString text = QStringLiteral("#") + QString::fromStdString(hex);
    setToolTip(text);
    AccessibleText::setDescription(this, text);
    update();
}

void ColorWell::openDialog()
{
    if (!dialog_) {
        dialog_ = new QColorDialog(this);
        dialog_->setWindowTitle(accessibleName());
        connect(dialog_, &QColorDialog::colorSelected, this,
            [this](const QColor& color) { Q_EMIT colorChosen(QtColor::toHex(color)); });
    }
    dialog_->setCurrentColor(QtColor::fromHex(hex_));
    dialog_->open();
}

void ColorWell::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    // The swatch, outlined in the text colour so white and black both stand out on either palette.
    const QRectF swatch = QRectF(rect()).adjusted(6, 5, -6, -5);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor outline = palette().color(QPalette::WindowText);
    outline.setAlphaF(0.45F);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(QtColor::fromHex(hex_));
    painter.drawRoundedRect(swatch, 3, 3);
}

} // namespace vantory
