#pragma once

#include <QColor>
#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace vantory {
class Store;
struct Settings;
} // namespace vantory

// Row builders shared by the settings tabs, so every tab lines up the same way: a 126 px title
// column, 12 px between elements. Every control gets an object name (to keep the focus across a
// refresh) and an accessible name.
namespace vantory::SettingsRows {

// The column a tab stacks its groups in.
QVBoxLayout* tabColumn(QWidget* tab);

// Changes the stored settings; the Store normalises and saves them.
void updateSettings(Store& store, const std::function<void(Settings&)>& change);

// A wrapped explanation in the palette's secondary text colour.
QLabel* caption(const QString& text, QWidget* parent);

// The title in its column, then the controls, then flexible space.
QWidget* row(const QString& title, std::initializer_list<QWidget*> controls, QWidget* parent);

// A slider over [minimum, maximum] in steps, showing its value through `format`, also as its
// accessible description. It reports a value when the user lets go or moves it from the keyboard,
// not for every pixel of a drag.
QWidget* slider(const QString& title, const QString& name, double minimum, double maximum, double step, double value,
    const std::function<QString(double)>& format, const std::function<void(double)>& commit, QWidget* parent);

QCheckBox* toggle(
    const QString& text, const QString& name, bool checked, const std::function<void(bool)>& commit, QWidget* parent);

// A caption that reports a state; orange when it is a warning.
QLabel* notice(const QString& text, bool warning, QWidget* parent);

QPushButton* button(const QString& text, const QString& name, const std::function<void()>& press, QWidget* parent);

// Orange for errors and login warnings, darkened where drawn on a light palette (2.6:1 on #EFEFEF).
QColor warningColor();

// Whole numbers without a fraction, others with up to two decimals ("72", "0.5").
QString number(double value);

} // namespace vantory::SettingsRows
