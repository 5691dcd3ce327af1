// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

namespace vantory {

// Calls onWake when the machine wakes from sleep (logind's PrepareForSleep(false) on the system
// bus). Without a system bus nothing is ever called.
class WakeWatcher : public QObject {
    Q_OBJECT

public:
    explicit WakeWatcher(std::function<void()> onWake, QObject* parent = nullptr);

private Q_SLOTS:
    void prepareForSleep(bool sleeping);

private:
    std::function<void()> onWake_;
};

} // namespace vantory
