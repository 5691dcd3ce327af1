// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>

class QToolButton;
class QWidget;

// Roles that Qt's defaults get wrong for screen readers.
namespace vantory::AccessibleRole {

// A plain QWidget window reaches screen readers as a "filler"; this gives the window its role
// (QAccessible::Window, which they present as a frame, or QAccessible::Dialog). Set before the
// window is first shown.
void setWindowRole(QWidget* window, QAccessible::Role role);

// Makes a tool button one of its siblings' exclusive choices: checkable, moved among with the
// arrow keys, and a radio button to screen readers (Qt presents every checkable tool button as a
// check box). Call it first: Qt keeps the interface it made for the button's first announcement.
void makeChoice(QToolButton* button);

} // namespace vantory::AccessibleRole
