// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SettingsTab.h"

#include <cstdint>

namespace vantory {

class Store;

// The settings window's reminder tab: which lead times before a deadline bring a desktop
// notification, following the Store in place. Lead times stored that the tab does not offer are kept
// as they are.
class ReminderSettingsTab : public SettingsTab {
    Q_OBJECT

public:
    // The lead times offered, in minutes, longest first.
    static constexpr std::int64_t offeredMinutes[] = {1440, 180, 60, 15};

    explicit ReminderSettingsTab(Store& store, QWidget* parent = nullptr);

private:
    Store& store_;
};

} // namespace vantory
