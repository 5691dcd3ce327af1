// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/StatusTextLayout.h"

#include <QFontDatabase>
#include <QPainter>
#include <QRectF>
#include <QTextBoundaryFinder>
#include <QTextCharFormat>

#include <algorithm>
#include <cmath>

#include "desktop/Legibility.h"
#include "desktop/QtColor.h"

namespace vantory {

namespace {

constexpr double plainPointSize = 12;
constexpr QChar ellipsis(0x2026);
// Wider than any line that fits on a screen, so measuring never wraps or aligns.
constexpr double unlimitedWidth = 1e6;
// A ring of 1.5 px around the dot's disc: enough to set it off from the backdrop, little enough
// that it still reads as the dot's colour.
constexpr double haloWidth = 3;

// Lays `layout` out as one line `lineWidth` wide.
void layOutLine(
    QTextLayout& layout, const QList<QTextLayout::FormatRange>& formats, Qt::Alignment alignment, double lineWidth)
{
    QTextOption option(alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
}

} // namespace

StatusTextLayout::StatusTextLayout(const StatusText& line)
    : text_(QString::fromStdString(line.text))
{
    const auto size = static_cast<std::size_t>(text_.size());
    std::size_t covered = 0;
    // Stretches the runs leave out are drawn in the plain system font and the default colour.
    auto coverPlainUpTo = [&](std::size_t end) {
        if (end > covered)
            spans_.push_back({int(covered), int(end - covered), font(StatusRun::Font::dot, plainPointSize), {}});
        covered = std::max(covered, end);
    };
    for (const StatusRun& run : line.runs) {
        // Clamped so that runs which overlap or overshoot the text cannot index past it.
        const std::size_t start = std::clamp(run.start, covered, size);
        const std::size_t end = std::clamp(run.start + std::min(run.length, size), start, size);
        coverPlainUpTo(start);
        if (end == start)
            continue;
        std::optional<QColor> color;
        if (run.colorHex)
            color = QtColor::fromHex(*run.colorHex);
        spans_.push_back(
            {int(start), int(end - start), font(run.font, run.pointSize), color, run.font == StatusRun::Font::dot});
        covered = end;
    }
    coverPlainUpTo(size);
}

QFont StatusTextLayout::font(StatusRun::Font role, double pointSize)
{
    QFont result = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // A size from a damaged settings file must not reach Qt, which rejects it with a warning.
    result.setPointSizeF(std::isfinite(pointSize) && pointSize >= 1 ? std::min(pointSize, 200.0) : plainPointSize);
    // Qt 6.4 has no way to ask for tabular digits (font features came later); the composition
    // measures its width over the widest digit samples instead.
    if (role == StatusRun::Font::main)
        result.setWeight(QFont::Medium);
    return result;
}

double StatusTextLayout::measure(const StatusText& text)
{
    return StatusTextLayout(text).width();
}

QFont StatusTextLayout::referenceFont() const
{
    return spans_.empty() ? font(StatusRun::Font::dot, plainPointSize) : spans_.back().font;
}

double StatusTextLayout::width() const
{
    if (isEmpty())
        return 0;
    QTextLayout layout(text_, referenceFont());
    layOutLine(layout, fontFormats(), Qt::AlignLeft, unlimitedWidth);
    return layout.lineAt(0).naturalTextWidth();
}

QList<QTextLayout::FormatRange> StatusTextLayout::fontFormats() const
{
    QList<QTextLayout::FormatRange> ranges;
    ranges.reserve(qsizetype(spans_.size()));
    for (const Span& span : spans_) {
        QTextCharFormat format;
        format.setFont(span.font);
        ranges.append({span.start, span.length, format});
    }
    return ranges;
}

// Text must be read, so it moves to 4.5:1 as the screens' text does; a dot is a mark, which keeps
// the colour the student picked and only gets a halo when it would vanish.
QColor StatusTextLayout::drawnColor(const Span& span, const QColor& defaultColor, const QColor& backdrop)
{
    const QColor color = span.color.value_or(defaultColor);
    return span.mark ? color : Legibility::readable(color, backdrop);
}

QList<QTextLayout::FormatRange> StatusTextLayout::formats(const QColor& defaultColor, const QColor& backdrop) const
{
    QList<QTextLayout::FormatRange> ranges = fontFormats();
    for (std::size_t i = 0; i < spans_.size(); ++i)
        ranges[qsizetype(i)].format.setForeground(drawnColor(spans_[i], defaultColor, backdrop));
    return ranges;
}

QList<QTextLayout::FormatRange> StatusTextLayout::haloFormats(const QColor& defaultColor, const QColor& backdrop) const
{
    QList<QTextLayout::FormatRange> ranges = fontFormats();
    bool any = false;
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        QTextCharFormat& format = ranges[qsizetype(i)].format;
        QColor color = Legibility::halo(drawnColor(spans_[i], defaultColor, backdrop), backdrop);
        if (color.isValid()) {
            any = true;
            format.setForeground(color);
            format.setTextOutline(QPen(color, haloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        } else {
            format.setForeground(Qt::transparent);
        }
    }
    return any ? ranges : QList<QTextLayout::FormatRange>();
}

StatusTextLayout StatusTextLayout::elidedTo(double available) const
{
    if (isEmpty() || width() <= available)
        return *this;
    std::vector<int> boundaries{0};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text_);
    while (finder.toNextBoundary() != -1)
        boundaries.push_back(int(finder.position()));
    const int clusters = int(boundaries.size()) - 1;
    // Keeps `kept` clusters, the extra one of an odd count on the left.
    auto keeping = [&](int kept) {
        return slice(boundaries[std::size_t((kept + 1) / 2)], boundaries[std::size_t(clusters - kept / 2)]);
    };
    // Width grows with every cluster kept, so the longest fitting text is found by bisection.
    // When not even the ellipsis fits, it is drawn alone and clipped.
    StatusTextLayout best = keeping(0);
    int low = 1;
    int high = clusters - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        StatusTextLayout candidate = keeping(middle);
        if (candidate.width() <= available) {
            best = std::move(candidate);
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return best;
}

StatusTextLayout StatusTextLayout::slice(int leftEnd, int rightStart) const
{
    StatusTextLayout result;
    result.text_ = text_.left(leftEnd) + ellipsis + text_.mid(rightStart);
    const int shift = leftEnd + 1 - rightStart;
    for (const Span& span : spans_) {
        const int end = span.start + span.length;
        const auto piece = [&](int start, int length, bool mark) {
            result.spans_.push_back({start, length, span.font, span.color, mark});
        };
        if (span.start < leftEnd)
            piece(span.start, std::min(end, leftEnd) - span.start, span.mark);
        // The ellipsis says that text was cut, so it reads as text even where it replaces the dot.
        if (span.start <= leftEnd && leftEnd < end)
            piece(leftEnd, 1, false);
        if (end > rightStart) {
            const int start = std::max(span.start, rightStart);
            piece(start + shift, end - start, span.mark);
        }
    }
    return result;
}

void StatusTextLayout::draw(QPainter& painter, const QRectF& rect, Qt::Alignment alignment, const QColor& defaultColor,
    const QColor& backdrop) const
{
    if (isEmpty())
        return;
    QTextLayout layout(text_, referenceFont());
    layOutLine(layout, formats(defaultColor, backdrop), alignment, rect.width());
    const QTextLine line = layout.lineAt(0);
    const double top = rect.center().y() - line.height() / 2;
    painter.save();
    // The padding stays empty even when an ellipsis alone is wider than the room left.
    painter.setClipRect(QRectF(rect.left(), top - line.height(), rect.width(), 3 * line.height()), Qt::IntersectClip);
    // The halos go underneath, in a layout of their own with the same fonts, so they line up.
    if (const auto halos = haloFormats(defaultColor, backdrop); !halos.isEmpty()) {
        QTextLayout haloLayout(text_, referenceFont());
        layOutLine(haloLayout, halos, alignment, rect.width());
        haloLayout.draw(&painter, QPointF(rect.left(), top));
    }
    layout.draw(&painter, QPointF(rect.left(), top));
    painter.restore();
}

} // namespace vantory
