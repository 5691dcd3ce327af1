#pragma once

#include <QWidget>

namespace vantory {

class StatusContentView;

// The top-level strip window of the status item: it draws a rounded backdrop in the palette's
// window colour, hosts the status view over its whole area and turns clicks into signals.
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
