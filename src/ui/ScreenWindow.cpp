// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ScreenWindow.h"

#include "ui/AccessibleRole.h"
#include "ui/WindowSize.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace vantory {

ScreenWindow::ScreenWindow(const QString& title, QWidget* screen, QSize size)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)
{
    setWindowTitle(title);
    AccessibleRole::setWindowRole(this, QAccessible::Window);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screen);
    setFixedSize((size.isValid() ? size : screen->sizeHint()).boundedTo(WindowSize::available(this)));
}

void ScreenWindow::present()
{
    if (!placed_) {
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            // The position is the frame's, title bar included.
            move(primary->availableGeometry().center() - QRect(QPoint(), size().grownBy(WindowSize::frame)).center());
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

// The focus is drawn from the first frame, as after a Tab, for whoever opened it from the keyboard;
// showing a window clears that mark, so it is set here.
void ScreenWindow::showEvent(QShowEvent* event)
{
    setAttribute(Qt::WA_KeyboardFocusChange);
    QWidget::showEvent(event);
}

void ScreenWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace vantory
