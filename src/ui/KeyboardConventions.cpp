// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KeyboardConventions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace vantory {

namespace {

// A button that Return and Enter should press: not a check or radio box, which they do not
// toggle anywhere, and not a push button that takes them itself as a dialog's default.
QAbstractButton* pressableButton(QObject* object)
{
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (!button || qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button))
        return nullptr;
    if (auto* push = qobject_cast<QPushButton*>(button); push && (push->autoDefault() || push->isDefault()))
        return nullptr;
    return button;
}

bool isEnter(const QKeyEvent& key)
{
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

void activateFirstItem(QMenu* menu)
{
    if (menu->activeAction())
        return;
    for (QAction* action : menu->actions()) {
        if (action->isVisible() && action->isEnabled() && !action->isSeparator()) {
            menu->setActiveAction(action);
            return;
        }
    }
}

} // namespace

KeyboardConventions::KeyboardConventions()
{
    qApp->installEventFilter(this);
}

bool KeyboardConventions::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        keyboardUsedLast_ = true;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (QAbstractButton* button = pressableButton(watched); button && isEnter(key)) {
            QKeyEvent space(key.type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), key.isAutoRepeat());
            QApplication::sendEvent(button, &space);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress:
        keyboardUsedLast_ = false;
        break;
    case QEvent::Show:
        // After the menu's own showing, which would otherwise announce the menu after its item.
        if (auto* menu = qobject_cast<QMenu*>(watched); menu && keyboardUsedLast_)
            QTimer::singleShot(0, menu, [menu] {
                if (menu->isVisible())
                    activateFirstItem(menu);
            });
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantory
