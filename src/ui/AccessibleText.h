// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Qt 6.4 announces every setting of a widget's accessible name or description, changed or not,
// and a screen reader speaks it again; these set only what differs.
namespace vantory::AccessibleText {

void setName(QWidget* widget, const QString& name);
void setDescription(QWidget* widget, const QString& description);

} // namespace vantory::AccessibleText
