// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSlider>

#include <functional>

class QLabel;

namespace vantory {

// A settings slider over [minimum, maximum] in steps, with its value beside it in the unit
// `format` writes ("0.3초"). Assistive technology gets the value itself rather than the step
// number, and the written value as the description. It commits a value when the user lets go or
// moves it from the keyboard, not for every pixel of a drag.
class SettingsSlider : public QSlider {
    Q_OBJECT

public:
    using Format = std::function<QString(double)>;

    SettingsSlider(double minimum, double maximum, double step, Format format, QWidget* parent);

    // The value in its unit.
    double amount() const;
    double minimumAmount() const { return minimum_; }
    double maximumAmount() const { return minimum_ + maximum() * step_; }
    double step() const { return step_; }
    // Shows `amount` without committing it; left alone while the user drags.
    void showAmount(double amount);
    // The value as written beside the slider; its parent lays it out.
    QLabel* valueLabel() const { return shown_; }

Q_SIGNALS:
    void committed(double value);

private:
    void write();

    double minimum_;
    double step_;
    Format format_;
    QLabel* shown_;
    bool showing_ = false;
};

} // namespace vantory
