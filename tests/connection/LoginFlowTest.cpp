#include "connection/PageScripts.h"

#include "ConnectionFixture.h"

using namespace vantory;
using namespace vantory::test;
using namespace std::chrono_literals;

namespace {

// The login window's page shows the site's sign-in pages until signedIn, then a signed-in page.
class LoginFlowTest : public ConnectionFixture {
protected:
    void SetUp() override
    {
        for (Site site : {Site::assessment, Site::canvas}) {
            FakePage& page = host.view(site).fakePage();
            page.site = [this](const std::string& url) { return Response{signedIn ? url : signInPage}; };
            page.scripts = [this](const std::string&, const std::string&) -> ScriptOutcome {
                return ScriptValue{ScriptValue::Kind::flag, "", signedIn};
            };
        }
    }

    std::size_t checks(Site site) { return host.view(site).fakePage().evaluations.size(); }
    std::size_t passes(Site site) { return host.page(site).loads.size(); }

    bool signedIn = false;
    std::string signInPage = "https://sso.university.test/login";
};

} // namespace

TEST_F(LoginFlowTest, ASignedInPageIsSeenWithinASecondAndStartsOnePass)
{
    LoginFlow& login = connection(Site::assessment).login();
    login.show();
    EXPECT_TRUE(host.view(Site::assessment).isVisible());
    EXPECT_EQ(host.view(Site::assessment).message(), "학교 로그인 페이지를 여는 중…");
    scheduler.advance(5s);
    EXPECT_EQ(checks(Site::assessment), 0u) << "a page on another host is never asked";

    signedIn = true; // the user signs in; the site redirects back
    host.view(Site::assessment).fakePage().load("https://learn.test/", 60);
    store.setNeedsLogin(true);
    scheduler.advance(1s);
    EXPECT_TRUE(login.detected());
    EXPECT_FALSE(store.needsLogin());
    EXPECT_EQ(host.view(Site::assessment).message(), "로그인 완료 · 일정을 업데이트합니다.");
    EXPECT_EQ(passes(Site::assessment), 1u);
    const std::size_t checked = checks(Site::assessment);
    scheduler.advance(10s);
    EXPECT_EQ(checks(Site::assessment), checked) << "the probe stops after a detection";
    EXPECT_EQ(passes(Site::assessment), 1u);
}

TEST_F(LoginFlowTest, AClosedWindowIsNoLongerProbed)
{
    signInPage = "https://learn.test/pl/login"; // the site's own page is probed while shown
    LoginFlow& login = connection(Site::assessment).login();
    login.show();
    scheduler.advance(2s);
    EXPECT_GT(checks(Site::assessment), 1u);
    host.view(Site::assessment).onClosed();
    signedIn = true; // a signed-in page would now be seen, if anything still looked
    scheduler.advance(1min);
    EXPECT_FALSE(login.detected());
    login.show();
    scheduler.advance(1s);
    EXPECT_TRUE(login.detected());
}

TEST_F(LoginFlowTest, ADetectionDuringAPassStartsExactlyOneMoreAfterIt)
{
    signedIn = true;
    host.page(Site::canvas).site = [](const std::string&) { return Response{{}, Response::End::hang}; };
    BrevaneConnection& canvas = connection(Site::canvas);
    canvas.sync();
    canvas.login().show();
    scheduler.advance(1s);
    EXPECT_TRUE(canvas.login().detected());
    EXPECT_EQ(store.canvasStatus(), "Canvas 로그인 완료");
    EXPECT_EQ(passes(Site::canvas), 1u);
    EXPECT_FALSE(host.view(Site::canvas).syncEnabled()) << "no second pass from the window while one runs";

    host.page(Site::canvas).site = nullptr;
    scheduler.advance(40s); // the hanging pass ends by its watchdog
    EXPECT_EQ(passes(Site::canvas), 2u);
    scheduler.advance(2min);
    EXPECT_EQ(passes(Site::canvas), 2u);

    // Reloading clears the detection; the next signed-in page is seen again.
    canvas.login().reload();
    EXPECT_FALSE(canvas.login().detected());
    scheduler.advance(1s);
    EXPECT_TRUE(canvas.login().detected());
    scheduler.advance(2min);
    EXPECT_EQ(passes(Site::canvas), 3u);
}

TEST_F(LoginFlowTest, LoginPageFailuresShowTheirTextsAndCancellationsNothing)
{
    LoginFlow& login = connection(Site::assessment).login();
    login.show();
    FakePage& page = host.view(Site::assessment).fakePage();
    page.onFailed(PageError{PageError::Kind::cancelled, "취소"});
    EXPECT_EQ(login.message(), "학교 로그인 페이지를 여는 중…");
    page.onFailed(PageError{PageError::Kind::network, "이름을 찾을 수 없음"});
    EXPECT_EQ(
        login.message(), "로그인 페이지를 열지 못했습니다: 이름을 찾을 수 없음 · 페이지 다시 열기를 눌러 주세요.");
    page.onTerminated();
    EXPECT_EQ(login.message(), "로그인 페이지가 중단되었습니다. 페이지 다시 열기를 눌러 주세요.");
    EXPECT_EQ(host.view(Site::assessment).message(), login.message());
}
