// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace vantory {
class SettingsSlider;
class Store;
struct Settings;
} // namespace vantory

// Row builders shared by the settings tabs, so every tab lines up the same way: a 126-point title
// column, 12 points between elements, both grown with a larger font. Every control gets an object
// name and an accessible name.
namespace vantory::SettingsRows {

// The column a tab stacks its groups in.
QVBoxLayout* tabColumn(QWidget* tab);

// Changes the stored settings; the Store normalises and saves them.
void updateSettings(Store& store, const std::function<void(Settings&)>& change);

// The settings' course ids in order: the key of a part with a row per course.
QStringList courseIds(const Store& store);

// A wrapped explanation, a little smaller than the text, in the palette's secondary text colour.
QLabel* caption(const QString& text, QWidget* parent);

// The title in its column, the label of the first control (its buddy), then the controls, then
// flexible space.
QWidget* row(const QString& title, std::initializer_list<QWidget*> controls, QWidget* parent);

// A slider in `format`'s unit (SettingsSlider); lay it out with its valueLabel().
SettingsSlider* slider(const QString& name, double minimum, double maximum, double step,
    const std::function<QString(double)>& format, const std::function<void(double)>& commit, QWidget* parent);

QCheckBox* toggle(
    const QString& text, const QString& name, bool checked, const std::function<void(bool)>& commit, QWidget* parent);

// A caption that reports a state; orange when it is a warning, hidden while it has no text.
QLabel* notice(const QString& text, bool warning, QWidget* parent);
void setNotice(QLabel* notice, const QString& text, bool warning);

QPushButton* button(const QString& text, const QString& name, const std::function<void()>& press, QWidget* parent);

// Shows a stored state on a button without writing it back.
void showChecked(QAbstractButton* button, bool checked);

// Shows `text` in a field, unless the student has typed there since it last showed a value.
void showText(QLineEdit* field, const QString& text);

// Whole numbers without a fraction, others with up to two decimals ("72", "0.5").
QString number(double value);

} // namespace vantory::SettingsRows
