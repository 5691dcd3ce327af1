#include "ui/SettingsWindowSize.h"

#include <QWidget>

#include <cstdlib>

namespace vantory {

bool SettingsWindowSize::fit(QWidget* content, QSize size)
{
    if (!content)
        return false;
    QWidget* window = content->window();
    if (window == content)
        return false;
    const QSize current = window->contentsRect().size();
    if (std::abs(current.width() - size.width()) <= 1 && std::abs(current.height() - size.height()) <= 1)
        return false;
    const QMargins margins = window->contentsMargins();
    window->setFixedSize(size.grownBy(margins));
    return true;
}

} // namespace vantory
