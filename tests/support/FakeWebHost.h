#pragma once

#include "connection/WebHost.h"

#include <functional>
#include <string>
#include <vector>

#include "schedule/Scheduler.h"

namespace vantory::test {

// A scripted page: `site` decides where each load ends and how, `scripts` answers each script by
// the page's URL and the script's text. Events arrive from the scheduler, as a real page's do
// from the event loop, so a test advances the clock to let them happen.
class FakePage final : public WebPage {
public:
    struct Response {
        enum class End { finish, fail, hang, terminate };
        std::string finalURL; // after redirects; the requested URL when empty
        End end = End::finish;
        PageError error{};
    };
    using Site = std::function<Response(const std::string& url)>;
    using Scripts = std::function<ScriptOutcome(const std::string& url, const std::string& script)>;

    explicit FakePage(Scheduler& scheduler)
        : scheduler_(scheduler)
    {
    }

    void load(const std::string& url, double networkTimeoutSeconds) override;
    void stop() override;
    std::string url() const override { return url_; }
    bool isLoading() const override { return loading_ != 0; }
    void evaluate(const std::string& script, std::function<void(ScriptOutcome)> done) override;
    void callAsync(const std::string& body, std::function<void(ScriptOutcome)> done) override
    {
        evaluate(body, std::move(done));
    }

    Site site;
    Scripts scripts;
    std::vector<std::string> loads; // every URL asked for, in order
    std::vector<std::string> evaluations; // every script run, in order

private:
    Scheduler& scheduler_;
    std::string url_;
    Scheduler::Cookie loading_ = 0;
};

class FakeLoginView final : public LoginView {
public:
    explicit FakeLoginView(Scheduler& scheduler)
        : page_(scheduler)
    {
    }

    FakePage& fakePage() { return page_; }
    WebPage& page() override { return page_; }
    void show() override { visible_ = true; }
    bool isVisible() const override { return visible_; }
    void setTexts(const std::string&, const std::string& message, bool syncEnabled) override
    {
        message_ = message, syncEnabled_ = syncEnabled;
    }

    const std::string& message() const { return message_; }
    bool syncEnabled() const { return syncEnabled_; }

private:
    FakePage page_;
    bool visible_ = false;
    std::string message_;
    bool syncEnabled_ = false;
};

class FakeWebHost final : public WebHost {
public:
    explicit FakeWebHost(Scheduler& scheduler)
        : pages_{FakePage(scheduler), FakePage(scheduler)}
        , views_{FakeLoginView(scheduler), FakeLoginView(scheduler)}
    {
    }

    FakePage& page(vantory::Site site) { return pages_[index(site)]; }
    FakeLoginView& view(vantory::Site site) { return views_[index(site)]; }
    WebPage& workerPage(vantory::Site site) override { return page(site); }
    LoginView& loginView(vantory::Site site) override { return view(site); }

private:
    static int index(vantory::Site site) { return site == vantory::Site::canvas ? 1 : 0; }

    FakePage pages_[2];
    FakeLoginView views_[2];
};

} // namespace vantory::test
