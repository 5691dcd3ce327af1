// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "connection/BrevaneConnection.h"
#include "store/Store.h"

#include "support/ManualScheduler.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace vantory::test {

// A scripted page: a load ends as `responses` (by URL) or else `site` says, a script answers as
// `results` (by URL and script, or by URL) or else `scripts` says. Events come from the scheduler, as
// a real page's come from the event loop, so a test advances the clock to let them happen.
class FakePage final : public WebPage {
public:
    struct Response {
        enum class End { finish, fail, hang, terminate };
        std::string finalURL; // after redirects; the requested URL when empty
        End end = End::finish;
        PageError error{};
        int httpStatus = 0; // of a finished load: the site's error page
    };

    explicit FakePage(Scheduler& scheduler)
        : scheduler_(scheduler)
    {
    }

    void load(const std::string& url, double) override
    {
        loads.push_back(url);
        stop();
        url_ = url; // a navigation shows its URL from its start, as a browser's does
        errorStatus_ = 0;
        const Response response = responses.contains(url) ? responses[url] : site ? site(url) : Response{};
        loading_ = scheduler_.schedule(Scheduler::Duration::zero(), [this, url, response] {
            if (response.end == Response::End::hang)
                return; // loading until stopped or replaced
            loading_ = 0;
            url_ = response.finalURL.empty() ? url : response.finalURL;
            errorStatus_ = response.end == Response::End::finish ? response.httpStatus : 0;
            if (response.end == Response::End::finish && onFinished)
                onFinished();
            else if (response.end == Response::End::fail && onFailed)
                onFailed(response.error);
            else if (response.end == Response::End::terminate && onTerminated)
                onTerminated();
        });
    }
    void stop() override { scheduler_.cancel(std::exchange(loading_, 0)); }
    std::string url() const override { return url_; }
    bool isLoading() const override { return loading_ != 0; }
    int errorStatus() const override { return errorStatus_; }
    void evaluate(const std::string& script, std::function<void(ScriptOutcome)> done) override
    {
        evaluations.push_back(script);
        const std::string key = results.contains(url_ + " " + script) ? url_ + " " + script : url_;
        const ScriptOutcome outcome = results.contains(key) ? results[key]
            : scripts                                       ? scripts(url_, script)
                                                            : ScriptValue{};
        scheduler_.schedule(Scheduler::Duration::zero(), [done = std::move(done), outcome] { done(outcome); });
    }
    void callAsync(const std::string& body, std::function<void(ScriptOutcome)> done) override
    {
        evaluate(body, std::move(done));
    }

    std::function<Response(const std::string& url)> site;
    std::function<ScriptOutcome(const std::string& url, const std::string& script)> scripts;
    std::map<std::string, Response> responses;
    std::map<std::string, ScriptOutcome> results;
    std::vector<std::string> loads, evaluations; // every URL asked for and every script run, in order

private:
    Scheduler& scheduler_;
    std::string url_;
    int errorStatus_ = 0;
    Scheduler::Cookie loading_ = 0;
};

struct FakeLoginView final : LoginView {
    explicit FakeLoginView(Scheduler& scheduler)
        : fake(scheduler)
    {
    }
    WebPage& page() override { return fake; }
    void show() override { visible = true; }
    bool isVisible() const override { return visible; }
    void setTexts(const std::string&, const std::string& text, bool canSync) override
    {
        message = text, syncEnabled = canSync;
    }

    FakePage fake;
    std::string message;
    bool visible = false, syncEnabled = false;
};

// A store over a fresh folder and both connections over fake pages, on a manual clock from 2025-12-04
// 18:00 UTC (10:00 in Vancouver). The page scripts are their own names, so a fake page knows which runs.
class ConnectionFixture : public ::testing::Test, public WebHost {
protected:
    using Response = FakePage::Response;
    // How a page fails: its load's response or, when given, its script's result, what is said and
    // the reason given beside the status.
    struct Failing {
        const char* name;
        Response response;
        std::optional<ScriptOutcome> result;
        std::string text;
        bool login = false;
        std::string reason;
    };

    WebPage& workerPage(Site site) override { return pages_[site == Site::canvas]; }
    LoginView& loginView(Site site) override { return view(site); }
    FakePage& worker(Site site) { return pages_[site == Site::canvas]; }
    FakeLoginView& view(Site site) { return views_[site == Site::canvas]; }

    BrevaneConnection& connection(Site site)
    {
        auto& made = connections_[site == Site::canvas];
        if (!made)
            made = std::make_unique<BrevaneConnection>(store, site, *this, scheduler, scripts);
        return *made;
    }

    // Starts a pass and lets it run to its end.
    void runPass(Site site)
    {
        connection(site).sync();
        scheduler.advance(std::chrono::minutes(5));
        ASSERT_FALSE(connection(site).running());
    }
    // Runs a pass where url fails as c says.
    void runFailing(Site site, const std::string& url, const Failing& c)
    {
        worker(site).responses = {{url, c.response}};
        worker(site).results = c.result ? decltype(FakePage::results){{url, *c.result}} : decltype(FakePage::results){};
        runPass(site);
    }

    static ScriptOutcome text(const nlohmann::json& json) { return ScriptValue{ScriptValue::Kind::text, json.dump()}; }
    static ScriptOutcome text(std::string raw) { return ScriptValue{ScriptValue::Kind::text, std::move(raw)}; }
    static ScriptOutcome flag(bool value) { return ScriptValue{ScriptValue::Kind::flag, "", value}; }
    static ScriptOutcome thrown(std::string message) { return PageError{PageError::Kind::script, std::move(message)}; }
    static ScriptOutcome notText() { return ScriptValue{}; }
    // A load that fails with the engine's net error code, and the site's answer with an error status.
    static Response failing(int code)
    {
        return {{}, Response::End::fail, PageError::failedLoad({LoadFailure::Kind::network, code})};
    }
    static Response errorPage(int status) { return {{}, Response::End::finish, {}, status}; }
    std::string error(const std::string& key) const { return store.errors().count(key) ? store.errors().at(key) : ""; }

    ManualScheduler scheduler{instantFromSeconds(1764871200)};
    TemporaryFolder folder;
    SiteScope sites;
    Store store{folder / "state.json", scheduler.now()};
    PageScripts scripts{"courses", "extract", "canvas-courses", "canvas-assignments", "canvas-submissions"};

private:
    FakePage pages_[2]{FakePage(scheduler), FakePage(scheduler)};
    FakeLoginView views_[2]{FakeLoginView(scheduler), FakeLoginView(scheduler)};
    std::unique_ptr<BrevaneConnection> connections_[2];
};

} // namespace vantory::test
