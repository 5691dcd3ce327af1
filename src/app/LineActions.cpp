// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LineActions.h"

#include <QCoreApplication>

namespace vantory {

QString menuText(const LineAction& action)
{
    return QCoreApplication::translate("LineActions", action.label);
}

void run(const LineAction& action, Store& store)
{
    if (!action.hook)
        QCoreApplication::quit();
    else if (const Store::Action& hook = store.*action.hook)
        hook();
}

} // namespace vantory
