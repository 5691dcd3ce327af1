#pragma once

#include <QWidget>

#include <functional>

namespace vantory {

class Autostart;
class ReadableGroup;
class Store;
struct SettingsViewState;

// The settings window's connection tab: both sites, the course list, export and launch at
// login. Built from the Store's current values; the screen builds a fresh one on every change.
class ConnectionSettingsTab : public QWidget {
    Q_OBJECT

public:
    // `viewChanged` asks the screen to rebuild after a change of the view state alone.
    ConnectionSettingsTab(Store& store, SettingsViewState& view, Autostart& autostart,
        std::function<void()> viewChanged, QWidget* parent = nullptr);

private:
    ReadableGroup* syncGroup();
    ReadableGroup* coursesGroup();
    ReadableGroup* canvasGroup();
    ReadableGroup* moreGroup(SettingsViewState& view, Autostart& autostart, const std::function<void()>& viewChanged);

    Store& store_;
};

} // namespace vantory
