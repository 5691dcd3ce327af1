// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace vantory {

// Keyboard behaviour that holds in every window, as an event filter on the application for as long
// as it lives: Return and Enter press a focused button as Space does (Qt leaves them to dialogs'
// default buttons), and a menu opened from the keyboard starts on its first item, so a screen
// reader has something to say before the first arrow key.
class KeyboardConventions : public QObject {
    Q_OBJECT

public:
    KeyboardConventions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyboardUsedLast_ = false;
};

} // namespace vantory
