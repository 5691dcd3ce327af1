// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

class QComboBox;

namespace vantory {

// One labelled drop-down row, laid out as every settings row (SettingsRows::row), with a 220-point
// picker that grows with a larger font. It presents a stored text choice; a value
// outside its options leaves the picker unselected.
class SettingsChoice : public QWidget {
    Q_OBJECT

public:
    // Each option is its label and the text value it stores.
    using Options = std::vector<std::pair<QString, std::string>>;

    SettingsChoice(const QString& title, Options options, QWidget* parent = nullptr);

    // Replaces the options when they differ, keeping the selected value where it is still offered.
    void setOptions(Options options);
    void setSelection(const std::string& value);
    // The selected option's value; empty when none is selected.
    std::string selection() const;
    QComboBox* picker() const { return picker_; }

Q_SIGNALS:
    // The user picked an option.
    void chosen(const std::string& value);

private:
    Options options_;
    QComboBox* picker_;
};

} // namespace vantory
