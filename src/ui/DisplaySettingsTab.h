#pragma once

#include <QWidget>

#include <functional>

namespace vantory {

class ReadableGroup;
class Store;
struct Settings;

// One tab of the settings screens, built from the Store's current values; the screen builds a
// fresh one whenever the Store changes. Every control writes through Store::update.
class DisplaySettingsTab : public QWidget {
    Q_OBJECT

public:
    explicit DisplaySettingsTab(Store& store, QWidget* parent = nullptr);

private:
    ReadableGroup* slotsGroup();
    ReadableGroup* sizeGroup();
    ReadableGroup* optionsGroup();
    void edit(const std::function<void(Settings&)>& change);

    Store& store_;
};

} // namespace vantory
