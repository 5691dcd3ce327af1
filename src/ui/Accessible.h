#pragma once

#include <QAccessible>

class QString;
class QToolButton;
class QWidget;

// What screen readers are told beyond Qt's defaults.
namespace vantory::Accessible {

// Qt 6.4 announces every setting of an accessible name, an unchanged one too: this sets it only
// when it differs.
void setName(QWidget* widget, const QString& name);

// A plain QWidget window reaches screen readers as a "filler"; this gives the window its role
// (QAccessible::Window, which they present as a frame, or QAccessible::Dialog). Set before the
// window is first shown.
void setWindowRole(QWidget* window, QAccessible::Role role);

// Makes a tool button one of its siblings' exclusive choices: checkable, moved among with the
// arrow keys, and a radio button to screen readers (Qt presents every checkable tool button as a
// check box). Call it first: Qt keeps the interface it made for the button's first announcement.
void makeChoice(QToolButton* button);

} // namespace vantory::Accessible
