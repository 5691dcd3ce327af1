// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/RemotePage.h"

#include "connection/RemoteWebHost.h"

#include <utility>

namespace vantory {

namespace {

// Chromium's own limit; a longer URL would never load.
constexpr std::size_t longestUrl = 2 * 1024 * 1024;

} // namespace

WorkerProtocol::PageId hiddenPage(Site site)
{
    return site == Site::assessment ? WorkerProtocol::PageId::assessment : WorkerProtocol::PageId::canvas;
}

WorkerProtocol::PageId loginPage(Site site)
{
    return site == Site::assessment ? WorkerProtocol::PageId::assessmentLogin : WorkerProtocol::PageId::canvasLogin;
}

Site siteOf(WorkerProtocol::PageId page)
{
    using WorkerProtocol::PageId;
    return page == PageId::canvas || page == PageId::canvasLogin ? Site::canvas : Site::assessment;
}

RemotePage::RemotePage(RemoteWebHost& host, WorkerProtocol::PageId id)
    : host_(host)
    , id_(id)
{
}

void RemotePage::load(const std::string& url, double networkTimeoutSeconds)
{
    ++load_;
    if (url.size() > longestUrl) {
        if (onFailed)
            onFailed(PageError::failedLoad({LoadFailure::Kind::badAddress, 0}));
        return;
    }
    // Like an address bar, the page shows the URL it goes to from the start, so a load that fails
    // before any answer (the site unreachable) still tells which site it was on.
    url_ = url;
    loading_ = true;
    errorStatus_ = 0;
    generation_
        = host_.send(WorkerProtocol::Load{id_, load_, QString::fromStdString(url), networkTimeoutSeconds}, true);
    host_.workChanged();
}

void RemotePage::stop()
{
    if (!loading_)
        return;
    loading_ = false;
    host_.send(WorkerProtocol::Stop{id_}, false);
    host_.workChanged();
}

void RemotePage::evaluate(const std::string& script, std::function<void(ScriptOutcome)> done)
{
    host_.call(id_, script, false, std::move(done));
}

void RemotePage::callAsync(const std::string& body, std::function<void(ScriptOutcome)> done)
{
    host_.call(id_, body, true, std::move(done));
}

bool RemotePage::receive(const WorkerProtocol::Navigation& navigation)
{
    using State = WorkerProtocol::Navigation::State;
    if (navigation.load > load_)
        return false;
    if (!navigation.url.isEmpty())
        url_ = navigation.url.toStdString();
    // The end of a load that a newer one replaced: the newer load ends on its own.
    if (navigation.load < load_)
        return true;
    loading_ = navigation.state == State::started;
    errorStatus_ = navigation.httpStatus;
    host_.workChanged();
    if (navigation.state == State::finished) {
        if (onFinished)
            onFinished();
    } else if (navigation.state == State::failed) {
        const auto kind = navigation.cancelled ? PageError::Kind::cancelled : PageError::Kind::network;
        if (onFailed)
            onFailed(PageError{kind, {}, navigation.failure});
    }
    return true;
}

void RemotePage::receive(const WorkerProtocol::UrlChanged& change)
{
    url_ = change.url.toStdString();
}

void RemotePage::receive(const WorkerProtocol::Terminated&)
{
    loading_ = false;
    host_.workChanged();
    if (onTerminated)
        onTerminated();
}

void RemotePage::workerGone(int generation, bool abnormal, std::vector<std::function<void()>>& notifications)
{
    // A load already waiting for the next worker stays pending.
    if (generation_ > generation)
        return;
    // The URL stays, as a browser tab keeps it when its page crashes: a pass decides from it
    // whether its site wants a sign-in, and a crash is no reason to think so.
    const bool inUse = loading_ || !url_.empty();
    loading_ = false;
    if (abnormal && inUse)
        notifications.push_back([this] {
            if (onTerminated)
                onTerminated();
        });
}

} // namespace vantory
