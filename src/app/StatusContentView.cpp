#include "app/StatusContentView.h"

#include "app/DesktopMotion.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace vantory {

namespace {

// About one frame at 60 Hz.
constexpr int frameMilliseconds = 16;

double steadyUptime()
{
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Where one text is drawn during a transition: an offset from its resting place (widget
// coordinates, y down), its opacity and its scale about the centre.
struct Placement {
    double x = 0;
    double y = 0;
    double alpha = 1;
    double scale = 1;
};

struct Frame {
    Placement previous;
    Placement current;
};

// The transition at eased progress `e` in a view `w` wide and `h` high. "slideUp" moves both texts
// upward: the old one leaves at the top while the new one rises from below.
Frame frameAt(const QString& effect, double e, double w, double h)
{
    if (effect == QLatin1String("slideUp"))
        return { { 0, -e * h, 1 - e, 1 }, { 0, (1 - e) * h, e, 1 } };
    if (effect == QLatin1String("slideDown"))
        return { { 0, e * h, 1 - e, 1 }, { 0, -(1 - e) * h, e, 1 } };
    if (effect == QLatin1String("slideLeft"))
        return { { -e * w, 0, 1 - e, 1 }, { (1 - e) * w, 0, e, 1 } };
    if (effect == QLatin1String("zoom"))
        return { { 0, 0, 1 - e, 1 + 0.12 * e }, { 0, 0, e, 0.88 + 0.12 * e } };
    return { { 0, 0, 1 - e, 1 }, { 0, 0, e, 1 } };
}

} // namespace

StatusContentView::StatusContentView(QWidget* parent)
    : QWidget(parent)
    , m_animation(new QTimer(this))
    , m_uptime(&steadyUptime)
    , m_reduceMotion(&DesktopMotion::reduced)
{
    // Clicks belong to the status item underneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_animation->setInterval(frameMilliseconds);
    m_animation->setTimerType(Qt::PreciseTimer);
    connect(m_animation, &QTimer::timeout, this, &StatusContentView::advanceFrame);
}

void StatusContentView::setTextAlignment(Qt::Alignment alignment)
{
    if (alignment == m_textAlignment)
        return;
    m_textAlignment = alignment;
    update();
}

void StatusContentView::setHorizontalPadding(double padding)
{
    if (!std::isfinite(padding) || padding == m_horizontalPadding)
        return;
    m_horizontalPadding = padding;
    update();
}

void StatusContentView::setUptimeSource(std::function<double()> uptime)
{
    m_uptime = uptime ? std::move(uptime) : std::function<double()>(&steadyUptime);
}

void StatusContentView::setReduceMotionSource(std::function<bool()> reduceMotion)
{
    m_reduceMotion = std::move(reduceMotion);
}

bool StatusContentView::isTransitioning() const
{
    return m_animation->isActive();
}

double StatusContentView::eased(double progress)
{
    return progress * progress * (3 - 2 * progress);
}

void StatusContentView::showLine(const StatusText& text, const QString& effect, double duration, bool animate)
{
    if (m_current == text && !animate)
        return;
    m_animation->stop();
    // A text only half faded in becomes the one that fades out.
    m_previous = std::exchange(m_current, text);
    m_previousLayout = std::exchange(m_currentLayout, StatusTextLayout(text));
    m_effect = effect;
    // Written so that a non-number becomes the shortest duration rather than a transition
    // that never ends.
    m_duration = duration >= 0.1 ? std::min(duration, 1.0) : 0.1;

    if (animate && !m_previous.empty() && effect != QLatin1String("none") && !(m_reduceMotion && m_reduceMotion())) {
        m_progress = 0;
        update();
        m_started = m_uptime();
        m_animation->start();
        return;
    }
    m_progress = 1;
    update();
    m_previous = {};
    m_previousLayout = {};
}

void StatusContentView::advanceFrame()
{
    if (!m_animation->isActive())
        return;
    const double progress = (m_uptime() - m_started) / m_duration;
    m_progress = std::isfinite(progress) ? std::clamp(progress, 0.0, 1.0) : 1.0;
    update();
    if (m_progress >= 1) {
        m_animation->stop();
        m_previous = {};
        m_previousLayout = {};
    }
}

void StatusContentView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setClipRect(rect());
    const double e = eased(m_progress);
    if (e >= 1) {
        paintText(painter, m_currentLayout, 0, 0, 1, 1);
        return;
    }
    const Frame frame = frameAt(m_effect, e, width(), height());
    paintText(
        painter, m_previousLayout, frame.previous.x, frame.previous.y, frame.previous.alpha, frame.previous.scale);
    paintText(painter, m_currentLayout, frame.current.x, frame.current.y, frame.current.alpha, frame.current.scale);
}

void StatusContentView::paintText(
    QPainter& painter, const StatusTextLayout& text, double x, double y, double alpha, double scale) const
{
    if (text.isEmpty())
        return;
    painter.save();
    const QPointF middle = QRectF(rect()).center();
    painter.translate(middle.x() + x, middle.y() + y);
    painter.scale(scale, scale);
    painter.translate(-middle);

    const QFontMetricsF metrics(text.referenceFont());
    // Two points beyond the font's own line keep antialiased edges inside the line.
    const double lineHeight
        = std::min(std::ceil(metrics.ascent() + metrics.descent() + metrics.leading() + 2), double(height()));
    const double available = std::max(width() - 2 * m_horizontalPadding, 1.0);
    const QRectF area(m_horizontalPadding, (height() - lineHeight) / 2, available, lineHeight);
    text.elidedTo(available).draw(painter, area, m_textAlignment, palette().color(QPalette::WindowText), alpha);
    painter.restore();
}

} // namespace vantory
