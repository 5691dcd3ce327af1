// SPDX-License-Identifier: GPL-3.0-or-later
// When passes start: the schedule, waking, and the login window's detection of a sign-in.

#include "ConnectionFixture.h"

using namespace vantory;
using namespace vantory::test;
using namespace std::chrono_literals;

namespace {

// Loads finish at once and scripts give no text, so a pass fails quickly. The login window's page
// shows a sign-in page until signedIn, then a signed-in page.
class ConnectionTest : public ConnectionFixture {
protected:
    void SetUp() override
    {
        for (Site site : {Site::assessment, Site::canvas}) {
            view(site).fake.site = [this](const std::string& url) { return Response{signedIn ? url : signInPage}; };
            view(site).fake.scripts = [this](const std::string&, const std::string&) { return flag(signedIn); };
        }
    }

    std::size_t passes(Site site = Site::assessment) { return worker(site).loads.size(); }
    std::size_t checks(Site site = Site::assessment) { return view(site).fake.evaluations.size(); }
    static inline const auto hang = [](const std::string&) { return Response{{}, Response::End::hang}; };

    bool signedIn = false;
    std::string signInPage = "https://sso.university.test/login";
};

TEST_F(ConnectionTest, TheScheduleStartsAPassOncePerIntervalWhateverItsOutcome)
{
    connection(Site::assessment).syncIfDue();
    EXPECT_EQ(passes(), 1u);
    scheduler.advance(59min + 30s);
    EXPECT_EQ(passes(), 1u) << "nothing before the hour";
    scheduler.advance(30s);
    EXPECT_EQ(passes(), 2u) << "the hour starts one";
    EXPECT_EQ(scheduler.pending(), 1u) << "one timer waits for the next hour";
    scheduler.jump(-2h); // a clock set back waits for the interval from the last attempt
    scheduler.advance(90min);
    EXPECT_EQ(passes(), 2u);
}

TEST_F(ConnectionTest, WakingCatchesUpOnceWhenTheIntervalRanOut)
{
    int changes = 0;
    store.onChange = [&changes] { ++changes; };
    BrevaneConnection& site = connection(Site::assessment);
    site.syncIfDue(); // 10:00
    scheduler.advance(5min);
    site.syncIfDue(); // 10:05, not due
    scheduler.jump(2h + 5min);
    const int recomposed = changes;
    site.woke(); // 12:10
    EXPECT_EQ(std::tuple(passes(), store.now()), std::tuple(2u, scheduler.now()));
    EXPECT_GT(changes, recomposed) << "the line is recomposed at once";
    scheduler.advance(10min);
    site.woke(); // 12:20
    EXPECT_EQ(passes(), 2u);
}

TEST_F(ConnectionTest, NothingStartsWhileRunningOrNeedingLoginAndATimedOutLoadStaysEnded)
{
    worker(Site::assessment).site = hang;
    BrevaneConnection& site = connection(Site::assessment);
    site.sync();
    EXPECT_TRUE(site.running() && store.brevaneSyncing());
    site.sync();
    scheduler.advance(30s);
    EXPECT_EQ(passes(), 1u);
    scheduler.advance(10s); // the watchdog ends the hanging load
    EXPECT_FALSE(site.running());
    worker(Site::assessment).onFinished(); // late ends of the timed-out load are dropped
    worker(Site::assessment).onFailed(PageError{});
    EXPECT_EQ(store.status(), "과목 목록 조회 실패 · 기존 일정 유지");
    EXPECT_FALSE(worker(Site::assessment).isLoading()) << "the watchdog stopped the page";
    store.setNeedsLogin(true);
    scheduler.advance(3h);
    EXPECT_EQ(passes(), 1u);
}

TEST_F(ConnectionTest, CanvasSyncsOnScheduleUnlessSwitchedOff)
{
    connection(Site::canvas).syncIfDue();
    EXPECT_EQ(passes(Site::canvas), 1u) << "an absent switch counts as on";
    store.update([](Database& db) { db.settings.canvasEnabled = false; });
    scheduler.advance(3h);
    connection(Site::canvas).sync();
    EXPECT_EQ(passes(Site::canvas), 1u);
    store.update([](Database& db) { db.settings.canvasEnabled = true; });
    EXPECT_EQ(passes(Site::canvas), 2u) << "switched on long after the interval, it syncs at once";
}

TEST_F(ConnectionTest, ASignedInPageIsSeenWithinASecondAndStartsOnePass)
{
    LoginFlow& login = connection(Site::assessment).login();
    login.show();
    EXPECT_TRUE(view(Site::assessment).visible && view(Site::assessment).message == "학교 로그인 페이지를 여는 중…");
    scheduler.advance(5s);
    EXPECT_EQ(checks(), 0u) << "a page on another host is never asked";

    signedIn = true; // the user signs in; the site redirects back
    view(Site::assessment).fake.load("https://learn.test/", 60);
    store.setNeedsLogin(true);
    scheduler.advance(1s);
    EXPECT_EQ(std::tuple(login.detected(), store.needsLogin(), view(Site::assessment).message, passes()),
        std::tuple(true, false, "로그인 완료 · 일정을 업데이트합니다.", 1u));
    const std::size_t checked = checks();
    scheduler.advance(10s);
    EXPECT_EQ(std::tuple(checks(), passes()), std::tuple(checked, 1u)) << "the probe stops after a detection";
}

TEST_F(ConnectionTest, AClosedLoginWindowIsNoLongerProbed)
{
    signInPage = "https://learn.test/pl/login"; // the site's own page is probed while shown
    LoginFlow& login = connection(Site::assessment).login();
    login.show();
    scheduler.advance(2s);
    EXPECT_GT(checks(), 1u);
    view(Site::assessment).onClosed();
    signedIn = true; // a signed-in page would now be seen, if anything still looked
    scheduler.advance(1min);
    EXPECT_FALSE(login.detected());
    login.show();
    scheduler.advance(1s);
    EXPECT_TRUE(login.detected());
}

TEST_F(ConnectionTest, ADetectionDuringAPassStartsExactlyOneMoreAfterIt)
{
    signedIn = true;
    worker(Site::canvas).site = hang;
    BrevaneConnection& canvas = connection(Site::canvas);
    canvas.sync();
    canvas.login().show();
    scheduler.advance(1s);
    EXPECT_EQ(std::tuple(canvas.login().detected(), store.canvasStatus(), passes(Site::canvas)),
        std::tuple(true, "Canvas 로그인 완료", 1u));
    EXPECT_FALSE(view(Site::canvas).syncEnabled) << "no second pass from the window while one runs";
    worker(Site::canvas).site = nullptr;
    scheduler.advance(40s); // the hanging pass ends by its watchdog
    EXPECT_EQ(passes(Site::canvas), 2u);
    scheduler.advance(2min);
    EXPECT_EQ(passes(Site::canvas), 2u);

    canvas.login().reload(); // clears the detection; the next signed-in page is seen again
    EXPECT_FALSE(canvas.login().detected());
    scheduler.advance(1s);
    EXPECT_TRUE(canvas.login().detected());
    scheduler.advance(2min);
    EXPECT_EQ(passes(Site::canvas), 3u);
}

TEST_F(ConnectionTest, LoginPageFailuresShowTheirTextsAndCancellationsNothing)
{
    LoginFlow& login = connection(Site::assessment).login();
    login.show();
    FakePage& page = view(Site::assessment).fake;
    page.onFailed(PageError{PageError::Kind::cancelled, "취소"});
    EXPECT_EQ(login.message(), "학교 로그인 페이지를 여는 중…");
    page.onFailed(PageError::failedLoad({LoadFailure::Kind::network, -105}));
    EXPECT_EQ(login.message(),
        "로그인 페이지를 열지 못했습니다: 사이트 주소를 찾을 수 없습니다 (오류 -105) · 페이지 다시 열기를 눌러 "
        "주세요.");
    page.onTerminated();
    EXPECT_EQ(login.message(), "로그인 페이지가 중단되었습니다. 페이지 다시 열기를 눌러 주세요.");

    // The error panel's way to the school's addresses.
    int opened = 0;
    store.schoolSitesWindow = [&opened] { ++opened; };
    view(Site::assessment).onAddresses();
    EXPECT_EQ(opened, 1);
}

TEST_F(ConnectionTest, TheAddressCheckSaysWhereThePageEndedUpAndOverWhat)
{
    const std::string typed = "https://learn.school.test/";
    // What the page did, whether it counts as reached, and what is said.
    const std::tuple<Response, bool, std::string> cases[] = {
        {{}, true, "연결됨 · 보안 연결 (https) · learn.school.test"},
        {{"https://sso.school.test/login"}, true,
            "연결됨 · 보안 연결 (https) · sso.school.test (입력한 주소에서 이동)"},
        {{"http://learn.school.test/", Response::End::finish, {}, 503}, true,
            "연결됨 · 보안되지 않은 연결 (http) · learn.school.test · 사이트가 오류 페이지로 답했습니다 (HTTP 503)"},
        {failing(-102), false, "연결 실패 · 사이트가 연결을 거부했습니다 (오류 -102)"}};
    for (const auto& [response, reached, text] : cases) {
        worker(Site::assessment).responses = {{typed, response}};
        std::optional<std::pair<bool, std::string>> said;
        connection(Site::assessment).checkAddress(typed, [&said](bool ok, std::string words) {
            said.emplace(ok, std::move(words));
        });
        scheduler.advance(1s);
        EXPECT_EQ(said, std::pair(reached, text));
    }
}

} // namespace
