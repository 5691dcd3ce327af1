// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TrayMenu.h"

#include "app/LineActions.h"
#include "store/Store.h"

#include <utility>

namespace vantory {

TrayMenu::TrayMenu(Store& store, std::function<QString()> currentLine, QWidget* parent)
    : QMenu(parent)
    , store_(store)
    , currentLine_(std::move(currentLine))
{
    line_ = addAction(QString());
    line_->setEnabled(false);
    addSeparator();
    for (const LineAction& entry : lineActions) {
        if (!entry.label) {
            addSeparator();
            continue;
        }
        QAction* action = addAction(QString());
        connect(action, &QAction::triggered, this, [this, &entry] { run(entry, store_); });
        action->setData(QVariant::fromValue(static_cast<int>(&entry - lineActions)));
    }
    connect(this, &QMenu::aboutToShow, this, &TrayMenu::refresh);
    refresh();
}

// Runs at every composition: a menu service sends each changed property to the desktop, so
// unchanged texts and states are left alone. The labels are read here too, so the menu follows a
// change of language.
void TrayMenu::refresh()
{
    if (const QString line = currentLine_(); line_->text() != line)
        line_->setText(line);
    for (QAction* action : actions()) {
        if (!action->data().isValid())
            continue;
        const LineAction& entry = lineActions[action->data().toInt()];
        if (const QString text = menuText(entry); action->text() != text)
            action->setText(text);
        const bool enabled = available(entry, store_);
        if (action->isEnabled() != enabled)
            action->setEnabled(enabled);
        if (action->isVisible() != offered(entry))
            action->setVisible(offered(entry));
    }
}

} // namespace vantory
