// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace vantory {

class StatusContentView;

// The top-level strip window of the status item: an opaque panel-like backdrop in the strip's own
// colours (Legibility), the status view over its whole area, clicks turned into signals and the
// tooltip shown on hover although the strip never becomes the active window.
class StatusStrip : public QWidget {
    Q_OBJECT

public:
    StatusStrip();

    StatusContentView* view() const { return view_; }

Q_SIGNALS:
    void clicked();
    void rightClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    StatusContentView* view_;
};

} // namespace vantory
