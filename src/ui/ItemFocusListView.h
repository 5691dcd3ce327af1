// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListView>

namespace vantory {

// A list view that tells assistive technology its current item has the focus only while the view
// has it, and says so again when the view gains it. Qt 6.4's list view reports every change of
// the current item as focus, also while it has none or its window is hidden, and a screen reader
// follows that report out of the window the student is in; when the view does gain the focus, Qt
// names the list but not the item. Rows are never hidden here, so an item's row is its accessible index.
class ItemFocusListView : public QListView {
    Q_OBJECT

public:
    using QListView::QListView;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void reportCurrentItem();
};

} // namespace vantory
