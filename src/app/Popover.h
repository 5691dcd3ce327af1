// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "schedule/Timer.h"

namespace vantory {

class X11Desktop;

// The dashboard's window, which closes as a popover does: on Escape, on a click outside it, when
// another window takes the focus, and on a click on what opened it.
class Popover : public QWidget {
    Q_OBJECT

public:
    enum class Kind {
        // A Qt::Popup, which grabs the pointer and the keyboard: a click outside closes it and goes
        // nowhere else. Only an X11 session grants these grabs.
        grabbing,
        // A managed frameless window that takes the focus when it opens and closes when it loses
        // it. Under XWayland the compositor grants no grab beyond XWayland's own windows and never
        // focuses an override-redirect window, so a popup there would neither see a click on a
        // native window nor get the keyboard.
        focused,
    };
    static Kind forSession();

    // The desktop (null off X11) must outlive the popover; the scheduler times the moment after a
    // focus loss.
    Popover(Kind kind, Scheduler& scheduler, X11Desktop* desktop);

    // Shows it at the global position (points) and gives it the keyboard focus.
    void open(QPoint position);
    void dismiss();
    // Whether a click on its button should close it rather than open it: it shows, or it has just
    // closed because that very click took the focus away (the focus moves at the press, the
    // button acts at the release, and a shell's button reaches this process later still).
    bool closesOnClick() const { return isVisible() || lostFocus_.isActive(); }

    // How long after a focus loss a click on the button still counts as the one that caused it.
    static constexpr Scheduler::Duration clickAfterFocusLoss{0.5};

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Kind kind_;
    X11Desktop* desktop_;
    Timer lostFocus_;
};

} // namespace vantory
