// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Popover.h"

#include "app/X11Desktop.h"
#include "ui/AccessibleRole.h"

#include <QKeyEvent>
#include <QWindow>

namespace vantory {

Popover::Kind Popover::forSession()
{
    return X11Desktop::seesAllInput() ? Kind::grabbing : Kind::focused;
}

Popover::Popover(Kind kind, Scheduler& scheduler, X11Desktop* desktop)
    : QWidget(nullptr,
        kind == Kind::grabbing ? Qt::Popup | Qt::FramelessWindowHint
                               : Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , kind_(kind)
    , desktop_(desktop)
    , lostFocus_(scheduler, [] {})
{
    setWindowTitle(QStringLiteral("Vantory"));
    // What it is to a screen reader: a window of its own that closes when done with.
    AccessibleRole::setWindowRole(this, QAccessible::Dialog);
    if (kind_ == Kind::grabbing) {
        // A click outside closes the popover and goes nowhere else, so a click on the item while
        // it is open closes it instead of opening it again.
        setAttribute(Qt::WA_NoMouseReplay);
        return;
    }
    if (!desktop_)
        return;
    // Qt's own request for the focus carries the time of the last X event this process saw, which
    // a click that came over D-Bus or the tray does not renew: older than the user's last action
    // in another window, a window manager refuses it (Mutter then marks the window as demanding
    // attention). The desktop's request, once the window is mapped, carries the time of now.
    setAttribute(Qt::WA_ShowWithoutActivating);
    connect(desktop_, &X11Desktop::mapChanged, this, [this](std::uint32_t window, bool mapped) {
        if (mapped && windowHandle() && window == winId())
            desktop_->activate(*windowHandle());
    });
}

void Popover::open(QPoint position)
{
    lostFocus_.stop();
    move(position);
    if (desktop_ && kind_ == Kind::focused) {
        winId(); // the native window, to declare before it is mapped
        desktop_->keepOffTaskbars(*windowHandle());
    }
    show();
    raise();
    // As in the screen windows: the focus is drawn from the first frame.
    setAttribute(Qt::WA_KeyboardFocusChange);
    if (kind_ == Kind::grabbing || !desktop_)
        activateWindow();
}

void Popover::dismiss()
{
    lostFocus_.stop();
    hide();
}

void Popover::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Not while it hides (Escape, a click on its button): hiding the focused window takes the focus
    // too, and before isVisible() changes.
    if (kind_ == Kind::focused && event->type() == QEvent::ActivationChange && !isHidden() && !isActiveWindow()) {
        hide();
        lostFocus_.start(clickAfterFocusLoss);
    }
}

void Popover::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        dismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace vantory
