#pragma once

#include <QSize>

class QWidget;

namespace vantory {

// Keeps the window that hosts a screen at the content size the current tab needs (points).
class SettingsWindowSize {
public:
    // Resizes `content`'s window to `size` when its content area differs by more than 1 point,
    // so a window already at that size is left alone. No window (the content is not placed in
    // one yet), no change. Returns whether it resized.
    static bool fit(QWidget* content, QSize size);
};

} // namespace vantory
