// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Sites.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/WebPage.h"
#include "protocol/WorkerProtocol.h"

namespace vantory {

class RemoteWebHost;

// A site's two pages in the worker, and the site a page belongs to.
WorkerProtocol::PageId hiddenPage(Site site);
WorkerProtocol::PageId loginPage(Site site);
Site siteOf(WorkerProtocol::PageId page);

// A page of the vantory-web worker as the application sees it: commands go out through the host,
// and the worker's events for this page come back through it. url() and isLoading() are the
// worker's latest word, updated before each callback runs.
class RemotePage final : public WebPage {
public:
    RemotePage(RemoteWebHost& host, WorkerProtocol::PageId id);

    void load(const std::string& url, double networkTimeoutSeconds) override;
    void stop() override;
    std::string url() const override { return url_; }
    bool isLoading() const override { return loading_; }
    int errorStatus() const override { return errorStatus_; }
    void evaluate(const std::string& script, std::function<void(ScriptOutcome)> done) override;
    void callAsync(const std::string& body, std::function<void(ScriptOutcome)> done) override;

    // From the host. Navigation answers false when it names a load that was never asked for.
    bool receive(const WorkerProtocol::Navigation& navigation);
    void receive(const WorkerProtocol::UrlChanged& change);
    void receive(const WorkerProtocol::Terminated& termination);
    // The worker of the given generation is gone; whether the page was in use there, and its
    // callback when the worker did not end cleanly, go to notifications.
    void workerGone(int generation, bool abnormal, std::vector<std::function<void()>>& notifications);
    bool busy() const { return loading_; }

private:
    RemoteWebHost& host_;
    WorkerProtocol::PageId id_;
    std::int64_t load_ = 0; // the latest load asked for
    int generation_ = 0; // the worker that got this page's latest command
    std::string url_;
    bool loading_ = false;
    int errorStatus_ = 0;
};

} // namespace vantory
