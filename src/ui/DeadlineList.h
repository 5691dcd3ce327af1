// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "ui/ItemFocusListView.h"

#include <functional>
#include <vector>

class QMenu;

namespace vantory {

class Store;

// The dashboard's deadline rows. Rows are painted, not built from widgets, so a thousand items
// cost only the visible ones. Space toggles completion, Return does the double-click action and
// the menu key or Shift+F10 opens the row's menu.
class DeadlineList : public ItemFocusListView {
    Q_OBJECT

public:
    DeadlineList(Store& store, QWidget* parent = nullptr);

    void setItems(std::vector<Assessment> items);
    int count() const;
    // Two and a half rows: the list shows a few whole rows and that it scrolls.
    QSize sizeHint() const override;

    // Called with the item whose "마감 수정·상세 보기" was chosen.
    std::function<void(const Assessment&)> editRequested;

    // Where a row's completion button and menu button sit, in viewport coordinates.
    QRect completionRect(int row) const;
    QRect menuRect(int row) const;
    // Shows the row's menu at a viewport position.
    void showMenu(int row, QPoint position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void toggleCompleted(int row);
    void activate(int row);

    Store& store_;
};

} // namespace vantory
