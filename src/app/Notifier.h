// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace vantory {

// A desktop notification service as the reminders see it: it shows a notification, possibly in
// place of an earlier one, and reports the user's actions and the notification's end by the
// service's id. Main thread only.
class Notifier : public QObject {
    Q_OBJECT

public:
    // The action keys every notification offers; "default" is a click on the notification itself.
    static constexpr const char* openAction = "open";
    static constexpr const char* doneAction = "done";
    static constexpr const char* defaultAction = "default";

    struct Notification {
        QString summary;
        QString body;
        bool critical = false;
        // The service's id of the notification this one replaces; 0 for a new one.
        std::uint32_t replaces = 0;
    };
    // The service's id once it showed the notification; none when there is no service or it failed.
    using Shown = std::function<void(std::optional<std::uint32_t> id)>;

    using QObject::QObject;

    // Asks the service to show the notification. `shown` runs later, never within this call, and
    // not at all once the notifier is destroyed.
    virtual void show(const Notification& notification, Shown shown) = 0;

Q_SIGNALS:
    void actionInvoked(std::uint32_t id, const QString& action);
    // The notification is gone: expired, dismissed or closed.
    void closed(std::uint32_t id);
    // The service came, went or changed hands: earlier ids mean nothing now, and what failed may
    // succeed.
    void serviceChanged();
};

} // namespace vantory
