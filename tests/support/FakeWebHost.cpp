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
        if (response.end == Response::End::finish && onFinished)
            onFinished();
        else if (response.end == Response::End::fail && onFailed)
            onFailed(response.error);
        else if (response.end == Response::End::terminate && onTerminated)
            onTerminated();
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

} // namespace vantory::test
