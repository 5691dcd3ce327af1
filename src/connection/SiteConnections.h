// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "connection/BrevaneConnection.h"
#include "connection/WakeWatcher.h"

namespace vantory {

// Both sites' connections for the whole run, wired to the Store's sync, connect and connectCanvas
// hooks and to the machine's wake-ups.
class SiteConnections {
public:
    SiteConnections(Store& store, WebHost& host, Scheduler& scheduler, PageScripts scripts);
    SiteConnections(const SiteConnections&) = delete;
    SiteConnections& operator=(const SiteConnections&) = delete;

    BrevaneConnection& assessment() { return assessment_; }
    BrevaneConnection& canvas() { return canvas_; }

    // The first scheduled check, right after start-up: the assessment site first.
    void syncIfDue();

private:
    BrevaneConnection assessment_;
    BrevaneConnection canvas_;
    WakeWatcher wake_;
};

} // namespace vantory
