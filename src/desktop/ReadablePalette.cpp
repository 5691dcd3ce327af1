// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/ReadablePalette.h"

#include <QApplication>
#include <QEvent>

#include "desktop/Legibility.h"

namespace vantory {

namespace {

void applyToApplication()
{
    // Setting the palette sends another change, which then finds nothing to do.
    if (const QPalette readable = readablePalette(QApplication::palette()); readable != QApplication::palette())
        QApplication::setPalette(readable);
}

class ApplicationPaletteFollower : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
            applyToApplication();
        return false;
    }
};

} // namespace

QPalette readablePalette(QPalette palette)
{
    // Disabled text is exempt from the contrast floor and keeps the style's own colour.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor highlight = Legibility::readable(
            palette.color(group, QPalette::Highlight), palette.color(group, QPalette::HighlightedText));
        const QColor placeholder = Legibility::readable(
            palette.color(group, QPalette::PlaceholderText), palette.color(group, QPalette::Base));
        if (highlight != palette.color(group, QPalette::Highlight))
            palette.setColor(group, QPalette::Highlight, highlight);
        if (placeholder != palette.color(group, QPalette::PlaceholderText))
            palette.setColor(group, QPalette::PlaceholderText, placeholder);
    }
    return palette;
}

void keepApplicationPaletteReadable()
{
    applyToApplication();
    qApp->installEventFilter(new ApplicationPaletteFollower(qApp));
}

} // namespace vantory
