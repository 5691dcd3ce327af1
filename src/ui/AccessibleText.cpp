// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AccessibleText.h"

#include <QWidget>

namespace vantory::AccessibleText {

void setName(QWidget* widget, const QString& name)
{
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
}

void setDescription(QWidget* widget, const QString& description)
{
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

} // namespace vantory::AccessibleText
