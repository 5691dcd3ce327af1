// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>
#include <QSize>

class QWidget;

namespace vantory {

// Keeps the window that hosts a screen at the content size the screen wants (points), within the
// screen it is on.
class WindowSize {
public:
    // Room for a title bar and borders, as window managers draw them around the content.
    static constexpr QMargins frame{8, 40, 8, 8};
    // The largest content a window on `widget`'s screen can show whole: the screen's available
    // area, less the frame.
    static QSize available(const QWidget* widget);
    // Resizes `content`'s window to `size`, bounded by available(), when its content area differs
    // by more than 1 point, so a window already at that size is left alone. No window (the content
    // is not placed in one yet), no change. Returns whether it resized.
    static bool fit(QWidget* content, QSize size);
};

} // namespace vantory
