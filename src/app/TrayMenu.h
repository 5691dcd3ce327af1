// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenu>

#include <functional>

namespace vantory {

class Store;

// The tray icon's menu. Some desktops only open the menu on a click and never show a tooltip, so it
// offers everything the strip does: the current line (as a disabled first entry) and the Store's
// actions. An entry whose hook is not set is disabled.
class TrayMenu : public QMenu {
    Q_OBJECT

public:
    // currentLine gives the status line as the strip shows it now. store must outlive the menu.
    TrayMenu(Store& store, std::function<QString()> currentLine, QWidget* parent = nullptr);

    // Brings the first entry and the entries' labels and states up to date; runs before the menu
    // shows and whenever the line is composed, so an open menu follows the line too.
    void refresh();

private:
    Store& store_;
    std::function<QString()> currentLine_;
    QAction* line_;
};

} // namespace vantory
