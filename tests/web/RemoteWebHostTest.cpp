// SPDX-License-Identifier: GPL-3.0-or-later
// The application's web host driving the real worker against web_site.py, and surviving fake_worker.py's misdeeds.

#include "connection/RemoteWebHost.h"

#include "app/QtScheduler.h"

#include "WebFixture.h"
#include "support/TemporaryFolder.h"

#include <sys/stat.h>

using namespace vantory;
using namespace vantory::test;
using namespace std::chrono_literals;

namespace {

const ScriptOutcome yes = ScriptValue{ScriptValue::Kind::flag, {}, true}, none = ScriptValue{},
                    terminated = PageError{PageError::Kind::terminated};
const auto failed = [](const char* message) -> ScriptOutcome { return PageError{PageError::Kind::script, message}; };

class RemoteWebHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { site = new TestServer(VANTORY_TESTS "/web/web_site.py"); }
    static void TearDownTestSuite() { delete site; }
    void SetUp() override
    {
        ASSERT_GT(site->port, 0);
        qputenv("VANTORY_WEB_WORKER", VANTORY_WEB_WORKER_PROGRAM);
        site->process.readAll(); // requests of earlier tests
    }

    RemoteWebHost& host(RemoteWebHostOptions options = {})
    {
        options.forwardErrors = true;
        host_ = std::make_unique<RemoteWebHost>(
            scheduler_, QString::fromStdString((folder_ / "data" / "web").string()), options);
        return *host_;
    }
    bool workerGone(int ms = webWaitMs)
    {
        return QTest::qWaitFor([this] { return !host_->workerProcessId(); }, ms);
    }
    static std::string url(const char* path) { return site->base() + path; }

    static inline TestServer* site = nullptr;
    QtScheduler scheduler_;
    TemporaryFolder folder_;
    std::unique_ptr<RemoteWebHost> host_;
};

TEST_F(RemoteWebHostTest, LoadsEndOnceOnTheFinalPageAfterRedirectsAndBypassTheCache)
{
    const mode_t umask = ::umask(0); // the worker inherits it
    PageWatch watch(host().workerPage(Site::assessment));
    ASSERT_EQ(watch.load(url("/redirect")), Ending::finished);
    ::umask(umask);
    EXPECT_EQ(std::pair(watch.urlAtEnd, watch.loadingAtEnd), std::pair(url("/page"), false));
    // The profile (sign-in cookies) and the data folder made on the way: owner only, whatever the umask.
    for (const auto& created : {folder_ / "data", folder_ / "data" / "web"}) {
        struct stat info { };
        ASSERT_EQ(::stat(created.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << created;
    }

    // The site's error page is a finished load that tells its status, until the next load.
    ASSERT_EQ(watch.load(url("/unavailable")), Ending::finished);
    EXPECT_EQ(watch.page.errorStatus(), 503);
    ASSERT_EQ(watch.load(url("/counter")), Ending::finished);
    EXPECT_EQ(watch.page.errorStatus(), 0);
    // A load that fails names the address that failed, not the page shown before it, which would
    // pass for a sign-in page.
    const std::string refused = site->base("127.0.0.3") + "/pl/course_instance/1";
    ASSERT_EQ(watch.load(refused), Ending::failed);
    EXPECT_EQ(watch.urlAtEnd, refused);
    const auto first = watch.run("document.title");
    ASSERT_EQ(watch.load(url("/page")), Ending::finished); // not a reload of the same page
    ASSERT_EQ(watch.load(url("/counter")), Ending::finished);
    EXPECT_NE(watch.run("document.title"), first);

    // A newer load replaces an older one, with one ending.
    watch.page.load(url("/slow"), 35);
    ASSERT_TRUE(QTest::qWaitFor([] { return site->process.readAll().contains("/slow\n"); }, webWaitMs));
    ASSERT_EQ(watch.load(url("/target")), Ending::finished);
    // The worker answers in order: a stray ending of the replaced load would come before this.
    EXPECT_EQ(std::tuple(watch.run("1"), watch.endings, watch.urlAtEnd),
        std::tuple(none, std::vector<Ending>{Ending::finished}, url("/target")));
}

TEST_F(RemoteWebHostTest, EvaluatesScriptsAndBodiesAndKeepsTheirGlobals)
{
    PageWatch watch(host().workerPage(Site::assessment));
    ASSERT_EQ(watch.load(url("/page")), Ending::finished);
    const std::tuple<const char*, bool, ScriptOutcome> cases[] = {// script, async, outcome or error message
        {"document.title + ' 한글'", false, text("page 한글")}, {"({title: document.title})", false, none},
        {"throw new Error('plain message')", false, failed("plain message")},
        {"throw 'a bare text'", false, failed("a bare text")},
        {"this is not JavaScript", false, failed("Unexpected identifier")},
        {"var counter = 1; function next() { return ++counter; } 'set'", false, text("set")},
        {"String(next()) + ':' + counter", false, text("2:2")},
        {"'x'.repeat(300000).length === 300000 && 'x'.repeat(300000) + 'y'", false,
            text(std::string(300000, 'x') + "y")},
        {"await new Promise(r => setTimeout(r, 300)); return document.title + '!';", true, text("page!")},
        {"await null; throw new Error('rejected later');", true, failed("rejected later")},
        {"return (;", true, failed("")}};
    for (const auto& [script, async, expected] : cases) {
        const ScriptOutcome outcome = watch.run(script, async);
        const auto* error = std::get_if<PageError>(&expected);
        if (error && outcome.index() == 1 && std::get<1>(outcome).kind == PageError::Kind::script)
            EXPECT_NE(thrown(outcome).find(error->message), std::string::npos) << script << ": " << thrown(outcome);
        else
            EXPECT_EQ(outcome, expected) << script;
    }

    // A navigation takes an async call's document away.
    std::optional<ScriptOutcome> abandoned;
    watch.page.callAsync("await new Promise(r => setTimeout(r, 10000)); return 'late';",
        [&abandoned](ScriptOutcome o) { abandoned = std::move(o); });
    EXPECT_EQ(watch.run("1"), none); // so the call has begun
    watch.page.load(url("/target"), 35);
    ASSERT_TRUE(QTest::qWaitFor([&abandoned] { return abandoned.has_value(); }, webWaitMs));
    EXPECT_EQ(*abandoned, terminated);
}

TEST_F(RemoteWebHostTest, AnIdleWorkerQuitsKeepingItsCookiesButNotWhileALoginWindowShows)
{
    RemoteWebHost& web = host({.idleQuit = 300ms});
    PageWatch watch(web.workerPage(Site::assessment));
    ASSERT_EQ(watch.load(url("/cookie")), Ending::finished);
    ASSERT_TRUE(workerGone()); // a clean quit writes the cookie out; a killed worker may lose it
    EXPECT_EQ(watch.page.url(), url("/cookie")) << "the page keeps its address across workers";

    LoginView& view = web.loginView(Site::canvas);
    view.setTexts("상태", "", false);
    view.show();
    EXPECT_TRUE(view.isVisible());
    PageWatch login(view.page());
    ASSERT_EQ(login.load(url("/page")), Ending::finished);
    EXPECT_EQ(login.run("document.cookie"), text("session=kept"));
    // A link that opens a new window opens in place.
    EXPECT_EQ(login.run("document.getElementById('blank').click(); true"), yes);
    ASSERT_TRUE(QTest::qWaitFor([&login] { return login.endings.size() == 2; }, webWaitMs));
    EXPECT_TRUE(login.endings.back() == Ending::finished && login.page.url() == url("/target"));
    EXPECT_FALSE(workerGone(1000));
}

class FakeWorkerTest : public RemoteWebHostTest, public ::testing::WithParamInterface<const char*> { };

TEST_P(FakeWorkerTest, EndsEverythingPendingAndStartsAgain)
{
    const std::string mode = GetParam();
    qputenv("VANTORY_WEB_WORKER", mode == "missing" ? "/nonexistent/vantory-web" : VANTORY_TESTS "/web/fake_worker.py");
    qputenv("FAKE_WORKER_MODE", GetParam());
    // Only silence waits for the reply timeout; any other misbehaviour is seen as it arrives.
    PageWatch watch(host({.replyTimeout = mode == "silent" ? 500ms : 60s}).workerPage(Site::assessment));
    for (int worker = 1; worker <= 2; ++worker) { // a fresh worker fails the same way
        ASSERT_TRUE(workerGone());
        std::optional<ScriptOutcome> outcome;
        watch.page.evaluate("1", [&outcome](ScriptOutcome o) { outcome = std::move(o); });
        watch.page.load(url("/page"), 35);
        ASSERT_TRUE(QTest::qWaitFor([&] { return outcome && !watch.endings.empty(); }, webWaitMs)) << worker;
        EXPECT_EQ(std::tuple(*outcome, watch.endings, watch.page.isLoading(), host_->workersStarted()),
            std::tuple(terminated, std::vector<Ending>{Ending::terminated}, false, worker));
        watch.endings.clear();
    }
}

INSTANTIATE_TEST_SUITE_P(Misbehaving, FakeWorkerTest,
    ::testing::Values(
        "junk", "beforeReady", "wrongVersion", "oversized", "unknownCall", "unknownLoad", "silent", "exit", "missing"));

TEST_F(RemoteWebHostTest, TheEndOfALoadThatANewerOneReplacedIsNotTakenForTheNewerOne)
{
    qputenv("VANTORY_WEB_WORKER", VANTORY_TESTS "/web/fake_worker.py");
    qputenv("FAKE_WORKER_MODE", "crossing");
    PageWatch watch(host().workerPage(Site::assessment));
    ASSERT_EQ(watch.load(url("/page")), Ending::finished);
    EXPECT_EQ(std::tuple(watch.run("1"), watch.endings), std::tuple(none, std::vector<Ending>{Ending::finished}))
        << "answered after both reports";
}

TEST_F(RemoteWebHostTest, ALoginWindowClosesWithItsWorkerAndHearsItsButtons)
{
    qputenv("VANTORY_WEB_WORKER", VANTORY_TESTS "/web/fake_worker.py");
    for (const auto& [mode, expectedSyncs] : {std::pair{"exit", 0}, {"buttons", 1}}) {
        qputenv("FAKE_WORKER_MODE", mode);
        LoginView& view = host().loginView(Site::canvas);
        int syncs = 0, closes = 0;
        view.onSync = [&syncs] { ++syncs; };
        view.onClosed = [&closes, &view] { closes += !view.isVisible(); };
        view.show();
        ASSERT_TRUE(QTest::qWaitFor([&closes] { return closes == 1; }, webWaitMs)) << mode;
        EXPECT_EQ(syncs, expectedSyncs) << mode;
        host_.reset(); // before the callbacks' variables go
    }
}

} // namespace
