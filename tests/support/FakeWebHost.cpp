#include "support/FakeWebHost.h"

namespace vantory::test {

void FakePage::load(const std::string& url, double)
{
    loads.push_back(url);
    stop();
    url_ = url; // a navigation shows its URL from its start, as a browser's does
    const Response response = site ? site(url) : Response{};
    loading_ = scheduler_.schedule(Scheduler::Duration::zero(), [this, url, response] {
        if (response.end == Response::End::hang)
            return; // stays loading until stopped or replaced
        loading_ = 0;
        url_ = response.finalURL.empty() ? url : response.finalURL;
        switch (response.end) {
        case Response::End::finish:
            if (onFinished)
                onFinished();
            break;
        case Response::End::fail:
            if (onFailed)
                onFailed(response.error);
            break;
        case Response::End::terminate:
            if (onTerminated)
                onTerminated();
            break;
        case Response::End::hang:
            break;
        }
    });
}

void FakePage::stop()
{
    if (loading_ != 0)
        scheduler_.cancel(loading_);
    loading_ = 0;
}

void FakePage::evaluate(const std::string& script, std::function<void(ScriptOutcome)> done)
{
    evaluations.push_back(script);
    const ScriptOutcome outcome = scripts ? scripts(url_, script) : ScriptOutcome{ScriptValue{}};
    scheduler_.schedule(Scheduler::Duration::zero(), [done = std::move(done), outcome] { done(outcome); });
}

void FakePage::callAsync(const std::string& body, std::function<void(ScriptOutcome)> done)
{
    evaluate(body, std::move(done));
}

} // namespace vantory::test
