#include "ui/SettingsRows.h"

#include "store/Store.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

#include "desktop/SecondaryText.h"

namespace vantory::SettingsRows {

QVBoxLayout* tabColumn(QWidget* tab)
{
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 4, 0);
    layout->setSpacing(12);
    return layout;
}

void updateSettings(Store& store, const std::function<void(Settings&)>& change)
{
    store.update([&](Database& db) { change(db.settings); });
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    useSecondaryText(label);
    QFont font = label->font();
    font.setPixelSize(11);
    label->setFont(font);
    return label;
}

QWidget* row(const QString& title, std::initializer_list<QWidget*> controls, QWidget* parent)
{
    auto* widget = new QWidget(parent);
    widget->setMinimumHeight(30);
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto* label = new QLabel(title, widget);
    label->setFixedWidth(126);
    layout->addWidget(label);
    for (QWidget* control : controls) {
        layout->addWidget(control);
        if (control->accessibleName().isEmpty())
            control->setAccessibleName(title);
    }
    if (controls.size() > 0)
        label->setBuddy(*controls.begin());
    layout->addStretch(1);
    return widget;
}

QWidget* slider(const QString& title, const QString& name, double minimum, double maximum, double step, double value,
    const std::function<QString(double)>& format, const std::function<void(double)>& commit, QWidget* parent)
{
    auto* control = new QSlider(Qt::Horizontal, parent);
    control->setObjectName(name);
    control->setRange(0, static_cast<int>(std::lround((maximum - minimum) / step)));
    control->setValue(static_cast<int>(std::lround((value - minimum) / step)));
    control->setFixedWidth(220);
    auto* shown = new QLabel(format(value), parent);
    shown->setMinimumWidth(44);
    // A screen reader would read the step number; the description carries the value in its unit.
    control->setAccessibleDescription(shown->text());
    auto valueOf = [minimum, step](int ticks) { return minimum + ticks * step; };
    QObject::connect(control, &QSlider::valueChanged, control, [=](int ticks) {
        shown->setText(format(valueOf(ticks)));
        control->setAccessibleDescription(shown->text());
        if (!control->isSliderDown())
            commit(valueOf(ticks));
    });
    QObject::connect(control, &QSlider::sliderReleased, control, [=] { commit(valueOf(control->value())); });
    return row(title, {control, shown}, parent);
}

QCheckBox* toggle(
    const QString& text, const QString& name, bool checked, const std::function<void(bool)>& commit, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setAccessibleName(text);
    box->setChecked(checked);
    QObject::connect(box, &QCheckBox::toggled, box, commit);
    return box;
}

QLabel* notice(const QString& text, bool warning, QWidget* parent)
{
    QLabel* label = caption(text, parent);
    if (warning) {
        // The caption draws its source colour made readable; the warning replaces that source.
        QPalette palette = label->palette();
        palette.setColor(QPalette::PlaceholderText, warningColor());
        label->setPalette(palette);
    }
    return label;
}

QPushButton* button(const QString& text, const QString& name, const std::function<void()>& press, QWidget* parent)
{
    auto* push = new QPushButton(text, parent);
    push->setObjectName(name);
    push->setAccessibleName(text);
    push->setAutoDefault(false);
    QObject::connect(push, &QPushButton::clicked, push, press);
    return push;
}

QColor warningColor()
{
    return QColor(0xF9, 0x73, 0x16);
}

QString number(double value)
{
    return QString::number(value, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

} // namespace vantory::SettingsRows
