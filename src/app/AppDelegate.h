#pragma once

#include "status/StatusLine.h"
#include "store/Store.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

namespace vantory {

class StatusItem;

// Owns the one Store, the status item and the timers that keep the status line current. Lives
// from start-up to exit. The site connections, popover and windows join it in later steps.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<Instant()>;

    // Creates the Store, which loads the state file. clock gives the current time.
    explicit AppDelegate(std::filesystem::path stateFile, Clock clock = systemClock, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Builds the status item, installs the Store's hooks and the heartbeat, and composes the
    // line once.
    void start();

    // Recomposes the status line from scratch and re-arms the boundary timer.
    void updateStatus();

    // A later launch for the same state file asked this instance to show itself.
    void activate(const QStringList& arguments);

    Store& store() { return store_; }
    StatusItem* item() const { return item_.get(); }
    const StatusLine& lastLine() const { return lastLine_; }
    const QTimer& boundary() const { return boundary_; }

    static Instant systemClock();

    static constexpr std::chrono::seconds heartbeatInterval{60};

private:
    Clock clock_;
    Store store_;
    std::unique_ptr<StatusItem> item_;
    QTimer heartbeat_;
    QTimer boundary_;
    StatusLineState lineState_;
    StatusLine lastLine_;
};

} // namespace vantory
