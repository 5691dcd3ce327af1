// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/StatusText.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>

#include <optional>
#include <vector>

class QPainter;
class QRectF;

namespace vantory {

// A StatusText in Qt's terms: its UTF-16 text and, for every stretch, the font and colour it is
// drawn in. The status view paints through it and the status-line composition measures through
// it, so a measured width is exactly the width that is drawn. Lengths are device-independent
// pixels, the unit of widget geometry, which is what the line's "points" map to here.
class StatusTextLayout {
public:
    StatusTextLayout() = default;
    explicit StatusTextLayout(const StatusText& text);

    const QString& text() const { return text_; }
    bool isEmpty() const { return text_.isEmpty(); }

    // Natural width on one line.
    double width() const;

    // The font that sets the line height: the last character's, which belongs to the main run,
    // so a smaller leading dot does not count; the system font at 12 points for an empty text.
    QFont referenceFont() const;

    // The same text with characters removed from its middle and an ellipsis in their place, as
    // few as needed to fit `available`; the text itself when it fits. The ellipsis takes the
    // style of the first character it replaces. Grapheme clusters are never split.
    StatusTextLayout elidedTo(double available) const;

    // Draw formats over `backdrop`: each stretch's colour, or `defaultColor` where the line gives
    // none. Text takes its colour made readable there (Legibility::readable); the leading dot, a
    // mark, keeps the exact colour.
    QList<QTextLayout::FormatRange> formats(const QColor& defaultColor, const QColor& backdrop) const;

    // Halo formats over `backdrop`: an outline in the halo colour (Legibility::halo) for each
    // stretch whose drawn colour contrasts too little with the backdrop (only a dot can), nothing
    // elsewhere; an empty list when every stretch stands out on its own.
    QList<QTextLayout::FormatRange> haloFormats(const QColor& defaultColor, const QColor& backdrop) const;

    // Draws the text on one line, horizontally aligned in `rect` and vertically centred on it,
    // in the formats above.
    void draw(QPainter& painter, const QRectF& rect, Qt::Alignment alignment, const QColor& defaultColor,
        const QColor& backdrop) const;

    // The fonts of the line: the system font at `pointSize`; the main run medium weight.
    static QFont font(StatusRun::Font role, double pointSize);

    // Width of `text` as the status view draws it; the composition's text measure.
    static double measure(const StatusText& text);

private:
    struct Span {
        int start = 0; // UTF-16 offsets into text_
        int length = 0;
        QFont font;
        std::optional<QColor> color;
        bool mark = false; // the leading dot, which is no text to read
    };

    // One format per stretch with its font alone: all that measuring needs.
    QList<QTextLayout::FormatRange> fontFormats() const;
    static QColor drawnColor(const Span& span, const QColor& defaultColor, const QColor& backdrop);
    StatusTextLayout slice(int leftEnd, int rightStart) const;

    QString text_;
    std::vector<Span> spans_; // cover text_ from start to end, in order
};

} // namespace vantory
