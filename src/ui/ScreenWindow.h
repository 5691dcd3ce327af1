// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

namespace vantory {

// A top-level window hosting one screen at a fixed content size (points), or the screen's own size
// hint when none is given, within the screen (WindowSize): titled, closable, not
// resizable, centred on the primary screen. Escape closes it; closing only hides it, so the screen
// keeps its state for the next opening. Takes ownership of the screen.
class ScreenWindow : public QWidget {
    Q_OBJECT

public:
    ScreenWindow(const QString& title, QWidget* screen, QSize size = {});

    // Shows the window (centred the first time) and brings it to the front with the focus.
    void present();

protected:
    void showEvent(QShowEvent* event) override;
    // Every edit in these windows is already saved: Escape has nothing to cancel and just closes.
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool placed_ = false;
};

} // namespace vantory
