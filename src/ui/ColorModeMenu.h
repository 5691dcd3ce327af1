// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QToolButton>

#include <string>
#include <utility>
#include <vector>

class QMenu;

namespace vantory {

// A compact drop-down for where a colour comes from (Modes::ColorSource). The category list
// offers urgency, calendar, course and custom; a course's menu-bar colour (courseOnly) offers
// calendar, urgency and custom. A mode outside the list shows "직접 선택" with nothing checked.
class ColorModeMenu : public QToolButton {
    Q_OBJECT

public:
    explicit ColorModeMenu(bool courseOnly, QWidget* parent = nullptr);

    // Label and stored value of each option, in menu order.
    static std::vector<std::pair<QString, std::string>> options(bool courseOnly);

    void setMode(const std::string& mode);
    const std::string& mode() const { return mode_; }
    QMenu* optionsMenu() const { return menu_; }

Q_SIGNALS:
    // The user chose an option.
    void modeChosen(const std::string& mode);

private:
    std::string mode_;
    QMenu* menu_;
};

} // namespace vantory
