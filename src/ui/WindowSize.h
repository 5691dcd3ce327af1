#pragma once

#include <QSize>

class QWidget;

namespace vantory {

// Keeps the window that hosts a screen at the content size the screen wants (points), within the
// screen it is on.
class WindowSize {
public:
    // The largest content a window on `widget`'s screen can show whole: the screen's available
    // area, less room for the window manager's frame.
    static QSize available(const QWidget* widget);
    // Resizes `content`'s window to `size`, bounded by available(), when its content area differs
    // by more than 1 point, so a window already at that size is left alone. No window (the content
    // is not placed in one yet), no change. Returns whether it resized.
    static bool fit(QWidget* content, QSize size);
};

} // namespace vantory
