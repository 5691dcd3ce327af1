// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SettingsRows.h"

#include "store/Store.h"
#include "ui/Scale.h"
#include "ui/SettingsSlider.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "desktop/QtColor.h"
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

QStringList courseIds(const Store& store)
{
    QStringList ids;
    for (const Course& course : store.db().settings.courses)
        ids << QString::fromStdString(course.id);
    return ids;
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    useSecondaryText(label);
    label->setFont(Scale::font(label->font(), 0.85));
    return label;
}

QWidget* row(const QString& title, std::initializer_list<QWidget*> controls, QWidget* parent)
{
    auto* widget = new QWidget(parent);
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto* label = new QLabel(title, widget);
    // At least the column; a longer title takes what it needs rather than being cut.
    label->setMinimumWidth(Scale::length(label, 126));
    widget->setMinimumHeight(Scale::length(label, 30));
    layout->addWidget(label);
    for (QWidget* control : controls) {
        layout->addWidget(control);
        // A label among the controls (a slider's value) is read by its own text.
        if (control->accessibleName().isEmpty() && !qobject_cast<QLabel*>(control))
            control->setAccessibleName(title);
    }
    if (controls.size() > 0)
        label->setBuddy(*controls.begin());
    layout->addStretch(1);
    return widget;
}

SettingsSlider* slider(const QString& name, double minimum, double maximum, double step,
    const std::function<QString(double)>& format, const std::function<void(double)>& commit, QWidget* parent)
{
    auto* control = new SettingsSlider(minimum, maximum, step, format, parent);
    control->setObjectName(name);
    QObject::connect(control, &SettingsSlider::committed, control, commit);
    return control;
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
    QLabel* label = caption(QString(), parent);
    setNotice(label, text, warning);
    return label;
}

void setNotice(QLabel* notice, const QString& text, bool warning)
{
    notice->setText(text);
    notice->setVisible(!text.isEmpty());
    // The caption draws its source colour made readable: a warning replaces that source, and
    // giving the palette back lets the caption take the inherited one again.
    const QColor orange = QtColor::warning(notice->palette());
    if (warning == (notice->palette().color(QPalette::PlaceholderText) == orange))
        return;
    QPalette palette;
    if (warning) {
        palette = notice->palette();
        palette.setColor(QPalette::PlaceholderText, orange);
    }
    notice->setPalette(palette);
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

void showChecked(QAbstractButton* button, bool checked)
{
    const QSignalBlocker quiet(button);
    button->setChecked(checked);
}

void showText(QLineEdit* field, const QString& text)
{
    if (!field->isModified() && field->text() != text)
        field->setText(text);
}

QString number(double value)
{
    return QString::number(value, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

} // namespace vantory::SettingsRows
