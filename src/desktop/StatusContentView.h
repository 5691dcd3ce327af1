// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/StatusText.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>

#include "desktop/StatusTextLayout.h"

class QTimer;

namespace vantory {

// Draws the coloured status line: vertically centred, aligned and padded as configured, cut in
// the middle when too wide, and changing from one text to the next with a short transition.
// It only draws: mouse events pass through to the widget underneath. Main thread only.
class StatusContentView : public QWidget {
    Q_OBJECT

public:
    explicit StatusContentView(QWidget* parent = nullptr);

    void setTextAlignment(Qt::Alignment alignment);
    // Empty margin at each side, in device-independent pixels.
    void setHorizontalPadding(double padding);

    // Shows `text`, animated with `effect` ("none", "fade", "slideUp", "slideDown", "slideLeft",
    // "zoom"; other names fade) over `duration` seconds (kept within 0.1 to 1) when `animate` is
    // set, a text was shown before, the view is visible and the desktop allows animations. An equal text without
    // animation costs nothing. Named apart from QWidget::show(), which it has nothing to do with.
    void showLine(const StatusText& text, const QString& effect, double duration, bool animate);

    const StatusText& current() const { return current_; }
    const StatusText& previous() const { return previous_; }
    QString effect() const { return effect_; }
    // Linear progress of the transition; 1 when none runs.
    double progress() const { return progress_; }
    bool isTransitioning() const;

    // Smoothstep: slow start, slow end.
    static double eased(double progress);

    // Width of `text` as this view draws it; the status-line composition's text measure.
    static double measure(const StatusText& text) { return StatusTextLayout::measure(text); }

    // Sources of the monotonic time in seconds and of the desktop's reduce-motion setting;
    // tests replace them. The setting is read once per transition that would animate.
    void setUptimeSource(std::function<double()> uptime);
    void setReduceMotionSource(std::function<bool()> reduceMotion);

public Q_SLOTS:
    // One frame of a running transition; the frame timer calls it.
    void advanceFrame();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void finishTransition();
    // The text at rest on a transparent image of the view's size.
    QPixmap rendered(const StatusTextLayout& text) const;
    void paintText(QPainter& painter, const StatusTextLayout& text) const;

    Qt::Alignment textAlignment_ = Qt::AlignHCenter;
    double horizontalPadding_ = 6;
    StatusText current_;
    StatusText previous_;
    StatusTextLayout currentLayout_;
    StatusTextLayout previousLayout_;
    // Both texts as rendered for the transition that runs; null outside one.
    QPixmap previousImage_;
    QPixmap currentImage_;
    QString effect_ = QStringLiteral("none");
    double progress_ = 1;
    double started_ = 0; // uptime seconds
    double duration_ = 0.3;
    QTimer* animation_; // child of the view; runs only during a transition
    std::function<double()> uptime_;
    std::function<bool()> reduceMotion_;
};

} // namespace vantory
