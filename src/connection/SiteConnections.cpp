#include "connection/SiteConnections.h"

#include "store/Store.h"

namespace vantory {

SiteConnections::SiteConnections(Store& store, WebHost& host, Scheduler& scheduler, PageScripts scripts)
    : assessment_(store, Site::assessment, host, scheduler, scripts)
    , canvas_(store, Site::canvas, host, scheduler, scripts)
    , wake_([this] {
        assessment_.woke();
        canvas_.woke();
    })
{
    store.sync = [this] {
        assessment_.sync();
        canvas_.sync();
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
