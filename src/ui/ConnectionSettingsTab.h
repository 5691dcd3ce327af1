// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SettingsTab.h"

#include <functional>

namespace vantory {

class Autostart;
class ReadableGroup;
class Store;
struct SettingsViewState;

// The settings window's connection tab: both sites, the course list, the calendar server, export
// and launch at login, following the Store in place.
class ConnectionSettingsTab : public SettingsTab {
    Q_OBJECT

public:
    // `viewChanged` asks the screen to refresh after a change of the view state alone.
    ConnectionSettingsTab(Store& store, SettingsViewState& view, Autostart& autostart,
        std::function<void()> viewChanged, QWidget* parent = nullptr);

private:
    ReadableGroup* syncGroup();
    ReadableGroup* coursesGroup();
    void courseRows(SettingsPart& part);
    ReadableGroup* canvasGroup();
    ReadableGroup* moreGroup(SettingsViewState& view, Autostart& autostart, const std::function<void()>& viewChanged);

    Store& store_;
};

} // namespace vantory
