#pragma once

#include "status/StatusText.h"
#include "app/StatusTextLayout.h"

#include <QString>
#include <QWidget>

#include <functional>

class QTimer;

namespace vantory {

// Draws the coloured status line: vertically centred, aligned and padded as configured, cut in
// the middle when too wide, and changing from one text to the next with a short transition.
// It only draws: mouse events pass through to the widget underneath. Main thread only.
class StatusContentView : public QWidget {
    Q_OBJECT

public:
    explicit StatusContentView(QWidget* parent = nullptr);

    Qt::Alignment textAlignment() const { return m_textAlignment; }
    void setTextAlignment(Qt::Alignment alignment);
    // Empty margin at each side, in device-independent pixels.
    double horizontalPadding() const { return m_horizontalPadding; }
    void setHorizontalPadding(double padding);

    // Shows `text`, animated with `effect` ("none", "fade", "slideUp", "slideDown", "slideLeft",
    // "zoom"; other names fade) over `duration` seconds (kept within 0.1 to 1) when `animate` is
    // set, a text was shown before and the desktop allows animations. An equal text without
    // animation costs nothing. Named apart from QWidget::show(), which it has nothing to do with.
    void showLine(const StatusText& text, const QString& effect, double duration, bool animate);

    const StatusText& current() const { return m_current; }
    const StatusText& previous() const { return m_previous; }
    QString effect() const { return m_effect; }
    double duration() const { return m_duration; }
    // Linear progress of the transition; 1 when none runs.
    double progress() const { return m_progress; }
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

private:
    void paintText(
        QPainter& painter, const StatusTextLayout& text, double x, double y, double alpha, double scale) const;

    Qt::Alignment m_textAlignment = Qt::AlignHCenter;
    double m_horizontalPadding = 6;
    StatusText m_current;
    StatusText m_previous;
    StatusTextLayout m_currentLayout;
    StatusTextLayout m_previousLayout;
    QString m_effect = QStringLiteral("none");
    double m_progress = 1;
    double m_started = 0; // uptime seconds
    double m_duration = 0.3;
    QTimer* m_animation; // child of the view; runs only during a transition
    std::function<double()> m_uptime;
    std::function<bool()> m_reduceMotion;
};

} // namespace vantory
