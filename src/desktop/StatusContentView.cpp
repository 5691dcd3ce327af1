// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/StatusContentView.h"

#include "model/Modes.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

#include "desktop/DesktopMotion.h"

namespace vantory {

namespace {

// About 30 frames a second: a 0.3-second fade in 9 steps looks as smooth on a line of text as in
// 18, at half the wake-ups and paints, which is what an idle laptop pays for each rotation.
constexpr int frameMilliseconds = 33;

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
    if (effect == QLatin1String(Modes::Transition::slideUp))
        return {{0, -e * h, 1 - e, 1}, {0, (1 - e) * h, e, 1}};
    if (effect == QLatin1String(Modes::Transition::slideDown))
        return {{0, e * h, 1 - e, 1}, {0, -(1 - e) * h, e, 1}};
    if (effect == QLatin1String(Modes::Transition::slideLeft))
        return {{-e * w, 0, 1 - e, 1}, {(1 - e) * w, 0, e, 1}};
    if (effect == QLatin1String(Modes::Transition::zoom))
        return {{0, 0, 1 - e, 1 + 0.12 * e}, {0, 0, e, 0.88 + 0.12 * e}};
    return {{0, 0, 1 - e, 1}, {0, 0, e, 1}};
}

// Draws a text's image where `placement` puts it, scaled about `middle`.
void paintImage(QPainter& painter, const QPixmap& image, const Placement& placement, QPointF middle)
{
    painter.save();
    painter.translate(middle.x() + placement.x, middle.y() + placement.y);
    painter.scale(placement.scale, placement.scale);
    painter.translate(-middle);
    painter.setOpacity(placement.alpha);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, placement.scale != 1);
    painter.drawPixmap(0, 0, image);
    painter.restore();
}

} // namespace

StatusContentView::StatusContentView(QWidget* parent)
    : QWidget(parent)
    , animation_(new QTimer(this))
    , uptime_(&steadyUptime)
    , reduceMotion_(&DesktopMotion::reduced)
{
    // Clicks belong to the status item underneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    animation_->setInterval(frameMilliseconds);
    animation_->setTimerType(Qt::PreciseTimer);
    connect(animation_, &QTimer::timeout, this, &StatusContentView::advanceFrame);
}

void StatusContentView::setTextAlignment(Qt::Alignment alignment)
{
    if (alignment == textAlignment_)
        return;
    textAlignment_ = alignment;
    update();
}

void StatusContentView::setHorizontalPadding(double padding)
{
    if (!std::isfinite(padding) || padding == horizontalPadding_)
        return;
    horizontalPadding_ = padding;
    update();
}

void StatusContentView::setUptimeSource(std::function<double()> uptime)
{
    uptime_ = uptime ? std::move(uptime) : std::function<double()>(&steadyUptime);
}

void StatusContentView::setReduceMotionSource(std::function<bool()> reduceMotion)
{
    reduceMotion_ = std::move(reduceMotion);
}

bool StatusContentView::isTransitioning() const
{
    return animation_->isActive();
}

double StatusContentView::eased(double progress)
{
    return progress * progress * (3 - 2 * progress);
}

void StatusContentView::showLine(const StatusText& text, const QString& effect, double duration, bool animate)
{
    if (current_ == text && !animate)
        return;
    animation_->stop();
    // A text only half faded in becomes the one that fades out.
    previous_ = std::exchange(current_, text);
    previousLayout_ = std::exchange(currentLayout_, StatusTextLayout(text));
    effect_ = effect;
    // Written so that a non-number becomes the shortest duration rather than a transition
    // that never ends.
    duration_ = duration >= 0.1 ? std::min(duration, 1.0) : 0.1;

    // A hidden view, such as the strip while GNOME's top bar shows the line, animates nothing.
    if (animate && isVisible() && !previous_.empty() && effect != QLatin1String(Modes::Transition::none)
        && !(reduceMotion_ && reduceMotion_())) {
        progress_ = 0;
        previousImage_ = {};
        currentImage_ = {};
        update();
        started_ = uptime_();
        animation_->start();
        return;
    }
    update();
    finishTransition();
}

void StatusContentView::finishTransition()
{
    animation_->stop();
    progress_ = 1;
    previous_ = {};
    previousLayout_ = {};
    previousImage_ = {};
    currentImage_ = {};
}

void StatusContentView::advanceFrame()
{
    if (!animation_->isActive())
        return;
    const double progress = (uptime_() - started_) / duration_;
    progress_ = std::isfinite(progress) ? std::clamp(progress, 0.0, 1.0) : 1.0;
    update();
    if (progress_ >= 1)
        finishTransition();
}

void StatusContentView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setClipRect(rect());
    const double e = eased(progress_);
    if (e >= 1) {
        paintText(painter, currentLayout_);
        return;
    }
    // Each text is laid out and drawn once per transition; a frame only blends the two images.
    if (previousImage_.isNull())
        previousImage_ = rendered(previousLayout_);
    if (currentImage_.isNull())
        currentImage_ = rendered(currentLayout_);
    const Frame frame = frameAt(effect_, e, width(), height());
    const QPointF middle = QRectF(rect()).center();
    paintImage(painter, previousImage_, frame.previous, middle);
    paintImage(painter, currentImage_, frame.current, middle);
}

void StatusContentView::resizeEvent(QResizeEvent* event)
{
    previousImage_ = {};
    currentImage_ = {};
    QWidget::resizeEvent(event);
}

void StatusContentView::hideEvent(QHideEvent* event)
{
    // The rest of a transition would be drawn for nobody; shown again, the view rests on its text.
    if (animation_->isActive())
        finishTransition();
    QWidget::hideEvent(event);
}

QPixmap StatusContentView::rendered(const StatusTextLayout& text) const
{
    const double ratio = devicePixelRatioF();
    QPixmap image(size() * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintText(painter, text);
    return image;
}

void StatusContentView::paintText(QPainter& painter, const StatusTextLayout& text) const
{
    if (text.isEmpty())
        return;
    const QFontMetricsF metrics(text.referenceFont());
    // Two points beyond the font's own line keep antialiased edges inside the line.
    const double lineHeight
        = std::min(std::ceil(metrics.ascent() + metrics.descent() + metrics.leading() + 2), double(height()));
    const double available = std::max(width() - 2 * horizontalPadding_, 1.0);
    const QRectF area(horizontalPadding_, (height() - lineHeight) / 2, available, lineHeight);
    text.elidedTo(available).draw(
        painter, area, textAlignment_, palette().color(QPalette::WindowText), palette().color(QPalette::Window));
}

} // namespace vantory
