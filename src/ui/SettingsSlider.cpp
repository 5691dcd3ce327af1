// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SettingsSlider.h"

#include "ui/AccessibleText.h"
#include "ui/Scale.h"

#include <QAccessibleWidget>
#include <QLabel>

#include <cmath>

namespace vantory {

namespace {

// Qt's own slider interface reports the step number ("2" of 0 to 9 for 0.3 s).
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(SettingsSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text text) const override
    {
        return text == QAccessible::Value ? slider()->valueLabel()->text() : QAccessibleWidget::text(text);
    }
    QVariant currentValue() const override { return slider()->amount(); }
    // A screen reader setting the value is a keyboard move: committed at once.
    void setCurrentValue(const QVariant& value) override
    {
        slider()->setSliderPosition(
            static_cast<int>(std::lround((value.toDouble() - slider()->minimumAmount()) / slider()->step())));
    }
    QVariant maximumValue() const override { return slider()->maximumAmount(); }
    QVariant minimumValue() const override { return slider()->minimumAmount(); }
    QVariant minimumStepSize() const override { return slider()->step(); }

private:
    SettingsSlider* slider() const { return static_cast<SettingsSlider*>(widget()); }
};

QAccessibleInterface* sliderFactory(const QString& className, QObject* object)
{
    auto* slider = qobject_cast<SettingsSlider*>(object);
    if (!slider || className != QLatin1String(SettingsSlider::staticMetaObject.className()))
        return nullptr;
    return new SliderAccessible(slider);
}

} // namespace

SettingsSlider::SettingsSlider(double minimum, double maximum, double step, Format format, QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
    , minimum_(minimum)
    , step_(step)
    , format_(std::move(format))
    , shown_(new QLabel(parent))
{
    static const bool interfaceInstalled = (QAccessible::installFactory(&sliderFactory), true);
    Q_UNUSED(interfaceInstalled);
    setRange(0, static_cast<int>(std::lround((maximum - minimum) / step)));
    setFixedWidth(Scale::length(this, 220));
    shown_->setMinimumWidth(Scale::length(this, 44));
    write();
    connect(this, &QSlider::valueChanged, this, [this] {
        write();
        if (!showing_ && !isSliderDown())
            Q_EMIT committed(amount());
    });
    connect(this, &QSlider::sliderReleased, this, [this] { Q_EMIT committed(amount()); });
}

double SettingsSlider::amount() const
{
    // To a millionth: 0.1 + 2 × 0.1 is 0.30000000000000004 in binary, and is stored and read out.
    return std::round((minimum_ + value() * step_) * 1e6) / 1e6;
}

void SettingsSlider::showAmount(double amount)
{
    if (isSliderDown())
        return;
    showing_ = true;
    setValue(static_cast<int>(std::lround((amount - minimum_) / step_)));
    showing_ = false;
}

void SettingsSlider::write()
{
    shown_->setText(format_(amount()));
    AccessibleText::setDescription(this, shown_->text());
}

} // namespace vantory
