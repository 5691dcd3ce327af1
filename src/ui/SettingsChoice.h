#pragma once

#include <QString>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

class QComboBox;

namespace vantory {

// One labelled drop-down row: the title in a 126 px column, a 220 px picker, flexible space.
// It presents a stored text choice; a value outside its options leaves the picker unselected.
class SettingsChoice : public QWidget {
    Q_OBJECT

public:
    // Each option is its label and the text value it stores.
    using Options = std::vector<std::pair<QString, std::string>>;

    SettingsChoice(const QString& title, Options options, QWidget* parent = nullptr);

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
