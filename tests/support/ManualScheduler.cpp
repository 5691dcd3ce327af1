#include "support/ManualScheduler.h"

#include <algorithm>

namespace vantory::test {

Scheduler::Cookie ManualScheduler::schedule(Duration delay, std::function<void()> action)
{
    const Cookie cookie = nextCookie_++;
    const Instant due = now_ + (delay.count() > 0 ? delay : Duration::zero()); // NaN counts as none
    queue_.emplace(Key{due, cookie}, std::move(action));
    dueTimes_.emplace(cookie, due);
    return cookie;
}

void ManualScheduler::cancel(Cookie cookie)
{
    const auto found = dueTimes_.find(cookie);
    if (found == dueTimes_.end())
        return;
    queue_.erase(Key{found->second, cookie});
    dueTimes_.erase(found);
}

void ManualScheduler::advance(Duration step)
{
    const Instant target = now_ + step;
    while (!queue_.empty() && queue_.begin()->first.first <= target) {
        auto next = queue_.extract(queue_.begin());
        dueTimes_.erase(next.key().second);
        now_ = std::max(now_, next.key().first);
        next.mapped()();
    }
    now_ = std::max(now_, target);
}

} // namespace vantory::test
