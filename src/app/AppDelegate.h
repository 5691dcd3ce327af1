// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/StatusLine.h"
#include "store/Store.h"

#include <QObject>
#include <QRect>

#include <chrono>
#include <functional>
#include <memory>

#include "schedule/Timer.h"

namespace vantory {

class DeadlineReminders;
class LineService;
class StatusItem;

// Owns the one Store, the status item and the timers that keep the status line current. Lives
// from start-up to exit. The site connections, popover and windows join it in later steps.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    // Creates the Store, which loads the state file. The scheduler gives the time and runs the
    // timers; it must outlive the delegate.
    AppDelegate(std::filesystem::path stateFile, Scheduler& scheduler, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Builds the status item, installs the Store's hooks (opening a page in the default browser
    // unless one is installed already) and the deadline reminders on the session bus, composes the
    // line once and publishes it on the session bus for the desktop shell. From then on the line is
    // composed again at its own next boundary (a rotation step, the countdown's next minute) and on
    // every change, with no timer in between.
    void start();

    // Recomposes the status line from scratch and re-arms the boundary timer.
    void updateStatus();

    // A later launch for the same state file asked this instance to show itself.
    void activate(const QStringList& arguments);

    // What a left click on the status item, or on a desktop shell's button showing the line, does
    // with the global rectangle of what was clicked; without it the click opens the calendar hook.
    std::function<void(const QRect& anchor)> popoverToggle;

    Store& store() { return store_; }
    Scheduler& scheduler() { return scheduler_; }
    StatusItem* item() const { return item_.get(); }
    DeadlineReminders* reminders() const { return reminders_.get(); }
    LineService* lineService() const { return lineService_.get(); }
    const StatusLine& lastLine() const { return lastLine_; }
    const Timer& boundary() const { return boundary_; }

    // How long the strip waits at start-up for GNOME's extension to show the line instead.
    static constexpr std::chrono::seconds panelPatience{5};

Q_SIGNALS:
    // The line was composed again, possibly with another text.
    void lineComposed();

private:
    // The stopped storage's text and the file it concerns; empty while storage works.
    std::string storageProblem() const;
    // Says at once, beyond the tooltip, that changes are no longer saved.
    void announceStorageProblem();
    void awaitShellPanel();
    void releaseStrip();

    Scheduler& scheduler_;
    Store store_;
    std::unique_ptr<StatusItem> item_;
    std::unique_ptr<DeadlineReminders> reminders_;
    std::unique_ptr<LineService> lineService_;
    Timer boundary_;
    Timer panelWait_;
    StatusLineState lineState_;
    StatusLine lastLine_;
};

} // namespace vantory
