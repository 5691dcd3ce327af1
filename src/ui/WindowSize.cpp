// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowSize.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cstdlib>

namespace vantory {

QSize WindowSize::available(const QWidget* widget)
{
    const QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    return screen->availableGeometry().size().shrunkBy(frame);
}

bool WindowSize::fit(QWidget* content, QSize size)
{
    if (!content)
        return false;
    QWidget* window = content->window();
    if (window == content)
        return false;
    size = size.boundedTo(available(content));
    const QSize current = window->contentsRect().size();
    if (std::abs(current.width() - size.width()) <= 1 && std::abs(current.height() - size.height()) <= 1)
        return false;
    const QMargins margins = window->contentsMargins();
    window->setFixedSize(size.grownBy(margins));
    return true;
}

} // namespace vantory
