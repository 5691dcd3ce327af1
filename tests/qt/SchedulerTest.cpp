// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtScheduler.h"

#include "support/ManualScheduler.h"

#include <QCoroTask>
#include <QTest>

#include <gtest/gtest.h>

#include "schedule/Sleep.h"
#include "schedule/Timer.h"

using namespace vantory;
using namespace std::chrono_literals;

TEST(SchedulerTest, TimersFireAtTheirTimesAndNeverAfterStopOrDestruction)
{
    test::ManualScheduler scheduler(instantFromSeconds(0));
    std::vector<std::string> fired;
    const auto record = [&](const char* name) {
        return [&, name] {
            fired.push_back(std::string(name) + "@" + std::to_string(int(secondsSince1970(scheduler.now()))));
        };
    };
    Timer once(scheduler, record("once")), tick(scheduler, record("tick"));
    auto dropped = std::make_unique<Timer>(scheduler, record("dropped"));
    Timer stopsItself(scheduler, record("stop")), stopper(scheduler, [&] { stopsItself.stop(); });
    stopsItself.startRepeating(1s);
    once.start(5s);
    once.start(7s); // a restart replaces the first time
    tick.startRepeating(3s);
    dropped->start(1s);
    dropped.reset();
    stopper.start(2.5s);
    EXPECT_EQ(once.remaining(), 7s);

    scheduler.advance(10s);
    EXPECT_EQ(fired, (std::vector<std::string>{"stop@1", "stop@2", "tick@3", "tick@6", "once@7", "tick@9"}));
    EXPECT_TRUE(!once.isActive() && once.remaining() == 0s && tick.remaining() == 2s);
    EXPECT_EQ(scheduler.pending(), 1u) << "only the repeating tick is left";
}

TEST(SchedulerTest, SleepsInACoroutineTakeScheduledTimeNotWallTime)
{
    test::ManualScheduler scheduler(instantFromSeconds(0));
    std::vector<double> woke;
    // Thirty probes half a second apart, as a page poll does.
    const auto poll = [&]() -> QCoro::Task<> {
        for (int attempt = 0; attempt < 30; ++attempt) {
            co_await Sleep(scheduler, 0.5s);
            woke.push_back(secondsSince1970(scheduler.now()));
        }
    };
    auto task = poll();
    scheduler.advance(14.9s);
    EXPECT_EQ(woke.size(), 29u);
    scheduler.advance(1s);
    EXPECT_TRUE(woke.size() == 30 && woke.back() == 15 && task.isReady());
    auto dropped = std::make_unique<Sleep>(scheduler, 1s); // as in a coroutine frame destroyed while it waits
    dropped->await_suspend(std::noop_coroutine());
    EXPECT_EQ(scheduler.pending(), 1u);
    dropped.reset();
    EXPECT_EQ(scheduler.pending(), 0u) << "a destroyed sleep leaves no wake-up behind";
}

TEST(SchedulerTest, QtSchedulerRunsActionsInTimeOrderAndSkipsCancelledOnes)
{
    QtScheduler scheduler;
    std::vector<int> ran;
    scheduler.schedule(30ms, [&] { ran.push_back(3); });
    const auto cancelled = scheduler.schedule(10ms, [&] { ran.push_back(0); });
    scheduler.schedule(-1s, [&] { ran.push_back(1); });
    scheduler.schedule(20ms, [&] {
        ran.push_back(2);
        scheduler.schedule(0s, [&] { ran.push_back(4); }); // scheduling from an action works
    });
    scheduler.cancel(cancelled);
    scheduler.cancel(cancelled); // a spent cookie is ignored
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran.size() == 4; }, 5000));
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 4, 3})) << "4 is due at 20 ms, 3 at 30 ms";
}
