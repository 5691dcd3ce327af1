// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ItemFocusListView.h"

#include <QAccessible>
#include <QTimer>

namespace vantory {

void ItemFocusListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (hasFocus())
        QListView::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous); // everything but the focus report
}

void ItemFocusListView::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    // After the view's own focus report, which follows this event.
    QTimer::singleShot(0, this, &ItemFocusListView::reportCurrentItem);
}

void ItemFocusListView::reportCurrentItem()
{
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid() || !QAccessible::isActive())
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(current.row());
    QAccessible::updateAccessibility(&event);
}

} // namespace vantory
