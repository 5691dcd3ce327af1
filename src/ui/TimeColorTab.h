#pragma once

#include <QWidget>

namespace vantory {

class Store;

// One tab of the settings screens, built from the Store's current values; the screen builds a
// fresh one whenever the Store changes. Every control writes through Store::update.
class TimeColorTab : public QWidget {
    Q_OBJECT

public:
    explicit TimeColorTab(Store& store, QWidget* parent = nullptr);

private:
    Store& store_;
};

} // namespace vantory
