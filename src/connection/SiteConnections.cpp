// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/SiteConnections.h"

#include "store/Store.h"

namespace vantory {

SiteConnections::SiteConnections(Store& store, WebHost& host, Scheduler& scheduler, PageScripts scripts)
    : assessment_(store, Site::assessment, host, scheduler, scripts)
    , canvas_(store, Site::canvas, host, scheduler, scripts)
    , wake_([this, &store] {
        assessment_.woke();
        canvas_.woke();
        if (store.syncCalendarServer)
            store.syncCalendarServer();
    })
{
    // "지금 새로고침", the bus's Refresh and a wake-up reach the calendar server too, which otherwise
    // follows the sites by itself.
    store.sync = [this, &store] {
        assessment_.sync();
        canvas_.sync();
        if (store.syncCalendarServer)
            store.syncCalendarServer();
    };
    store.connect = [this] { assessment_.login().show(); };
    store.connectCanvas = [this] { canvas_.login().show(); };
    store.checkAddress = [this](Site site, const std::string& address, BrevaneConnection::AddressReport report) {
        (site == Site::canvas ? canvas_ : assessment_).checkAddress(address, std::move(report));
    };
}

void SiteConnections::syncIfDue()
{
    assessment_.syncIfDue();
    canvas_.syncIfDue();
}

} // namespace vantory
