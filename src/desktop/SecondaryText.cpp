// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/SecondaryText.h"

#include <QEvent>
#include <QWidget>

#include "desktop/Legibility.h"

namespace vantory {

namespace {

void applySecondaryText(QWidget* widget)
{
    QPalette palette = widget->palette();
    bool changed = false;
    // Disabled text is exempt from the contrast floor and keeps the style's own colour.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor shown = Legibility::readable(
            palette.color(group, QPalette::PlaceholderText), palette.color(group, widget->backgroundRole()));
        if (palette.color(group, QPalette::WindowText) != shown) {
            palette.setColor(group, QPalette::WindowText, shown);
            changed = true;
        }
    }
    // Setting the palette sends another change, which then finds nothing to do.
    if (changed)
        widget->setPalette(palette);
}

class SecondaryTextFollower : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange)
            applySecondaryText(static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

void useSecondaryText(QWidget* widget)
{
    widget->setForegroundRole(QPalette::WindowText);
    applySecondaryText(widget);
    widget->installEventFilter(new SecondaryTextFollower(widget));
}

} // namespace vantory
