#include "ConnectionFixture.h"

using namespace vantory;
using namespace vantory::test;
using namespace std::chrono_literals;

namespace {

// Every load of either site finishes at once with scripts that never answer, so a pass fails
// quickly; what counts here is when passes start.
class ConnectionTest : public ConnectionFixture {
protected:
    std::size_t passes(Site site) { return host.page(site).loads.size(); }
};

} // namespace

TEST_F(ConnectionTest, TheScheduleStartsAPassOncePerIntervalWhateverItsOutcome)
{
    connection(Site::assessment).syncIfDue();
    EXPECT_EQ(passes(Site::assessment), 1u);
    scheduler.advance(59min + 30s);
    EXPECT_EQ(passes(Site::assessment), 1u) << "ticks before the hour do nothing";
    scheduler.advance(30s);
    EXPECT_EQ(passes(Site::assessment), 2u) << "the first tick at the hour starts one";

    // A clock set back waits for the interval from the last attempt.
    scheduler.jump(-2h);
    scheduler.advance(90min);
    EXPECT_EQ(passes(Site::assessment), 2u);
}

TEST_F(ConnectionTest, WakingCatchesUpOnceWhenTheIntervalRanOut)
{
    BrevaneConnection& site = connection(Site::assessment);
    scheduler.advance(5min);
    site.syncIfDue(); // 10:05
    scheduler.jump(2h + 5min);
    int recomposed = changes;
    site.woke(); // 12:10
    EXPECT_EQ(passes(Site::assessment), 2u);
    EXPECT_GT(changes, recomposed) << "the line is recomposed at once";
    EXPECT_EQ(store.now(), scheduler.now());
    scheduler.advance(10min);
    site.woke(); // 12:20
    EXPECT_EQ(passes(Site::assessment), 2u);
}

TEST_F(ConnectionTest, NothingStartsWhileRunningOrWhileTheSiteNeedsLogin)
{
    host.page(Site::assessment).site = [](const std::string&) { return Response{{}, Response::End::hang}; };
    BrevaneConnection& site = connection(Site::assessment);
    site.sync();
    EXPECT_TRUE(site.running() && store.brevaneSyncing());
    site.sync();
    scheduler.advance(30s);
    EXPECT_EQ(passes(Site::assessment), 1u);
    scheduler.advance(10s); // the watchdog ends the hanging load
    EXPECT_FALSE(site.running());
    EXPECT_EQ(store.status(), "과목 목록 조회 실패 · 기존 일정 유지");

    store.setNeedsLogin(true);
    scheduler.advance(3h);
    EXPECT_EQ(passes(Site::assessment), 1u);
}

TEST_F(ConnectionTest, CanvasSyncsOnScheduleUnlessSwitchedOff)
{
    connection(Site::canvas).syncIfDue();
    EXPECT_EQ(passes(Site::canvas), 1u) << "an absent switch counts as on";
    store.update([](Database& db) { db.settings.canvasEnabled = false; });
    scheduler.advance(3h);
    connection(Site::canvas).sync();
    EXPECT_EQ(passes(Site::canvas), 1u);
}

TEST_F(ConnectionTest, ALateFinishOfATimedOutLoadChangesNothing)
{
    FakePage& page = host.page(Site::assessment);
    page.site = [](const std::string&) { return Response{{}, Response::End::hang}; };
    connection(Site::assessment).sync();
    scheduler.advance(40s);
    ASSERT_FALSE(connection(Site::assessment).running());
    const std::string status = store.status();
    page.onFinished();
    page.onFailed(PageError{});
    EXPECT_EQ(store.status(), status);
    EXPECT_FALSE(page.isLoading()) << "the watchdog stopped the page";
}
