// The application's web host driving the real vantory-web worker against a small local site
// (web_site.py), and surviving fake workers that misbehave (fake_worker.py).

#include "connection/RemoteWebHost.h"

#include "app/QtScheduler.h"

#include "WebFixture.h"
#include "support/TemporaryFolder.h"

#include <sys/stat.h>

using namespace vantory;
using namespace vantory::test;

namespace {

ScriptOutcome text(const std::string& value)
{
    return ScriptValue{ScriptValue::Kind::text, value};
}

ScriptOutcome flag(bool value)
{
    return ScriptValue{ScriptValue::Kind::flag, {}, value};
}

ScriptOutcome scriptError(const std::string& message)
{
    return PageError{PageError::Kind::script, message};
}

const ScriptOutcome terminated = PageError{PageError::Kind::terminated};

class RemoteWebHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { site = new TestServer(VANTORY_TEST_SITE); }
    static void TearDownTestSuite() { delete site; }

    void SetUp() override
    {
        ASSERT_GT(site->port, 0);
        qputenv("VANTORY_WEB_WORKER", VANTORY_WEB_WORKER_PROGRAM);
        site->process.readAll(); // requests of earlier tests
    }
    void TearDown() override { qunsetenv("FAKE_WORKER_MODE"); }

    RemoteWebHost& host(RemoteWebHostOptions options = {})
    {
        options.forwardErrors = true;
        host_ = std::make_unique<RemoteWebHost>(
            scheduler_, QString::fromStdString((folder_ / "data" / "web").string()), options);
        return *host_;
    }

    static std::string url(const char* path) { return site->base() + path; }

    // Waits until the site has been asked for path.
    static bool requested(const QByteArray& path)
    {
        return QTest::qWaitFor(
            [&path] {
                while (site->process.canReadLine())
                    if (site->process.readLine().trimmed() == path)
                        return true;
                return false;
            },
            webWaitMs);
    }

    static inline TestServer* site = nullptr;
    QtScheduler scheduler_;
    TemporaryFolder folder_;
    std::unique_ptr<RemoteWebHost> host_;
};

TEST_F(RemoteWebHostTest, LoadEndsOnTheFinalPageAfterRedirects)
{
    const mode_t umask = ::umask(0); // the worker inherits it
    PageWatch watch(host().workerPage(Site::assessment));
    EXPECT_EQ(watch.page.url(), "");
    ASSERT_EQ(watch.load(url("/redirect")), Ending::finished);
    EXPECT_EQ(watch.urlAtEnd, url("/page"));
    EXPECT_FALSE(watch.loadingAtEnd);
    EXPECT_EQ(host_->workersStarted(), 1);

    // The profile holds sign-in cookies, and the data folder the first start creates on the way
    // to it holds the state file: owner only, whatever the umask.
    ::umask(umask);
    for (const auto& created : {folder_ / "data", folder_ / "data" / "web"}) {
        struct stat info { };
        ASSERT_EQ(::stat(created.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << created;
    }
}

TEST_F(RemoteWebHostTest, LoadsBypassTheCache)
{
    PageWatch watch(host().workerPage(Site::assessment));
    ASSERT_EQ(watch.load(url("/counter")), Ending::finished);
    const auto first = watch.run("document.title");
    ASSERT_EQ(watch.load(url("/page")), Ending::finished); // not a reload of the same page
    ASSERT_EQ(watch.load(url("/counter")), Ending::finished);
    EXPECT_NE(watch.run("document.title"), first);
}

TEST_F(RemoteWebHostTest, ANewerLoadReplacesAnOlderOneWithOneEnding)
{
    PageWatch watch(host().workerPage(Site::canvas));
    ASSERT_EQ(watch.load(url("/page")), Ending::finished);
    watch.endings.clear();
    watch.page.load(url("/slow"), 35);
    ASSERT_TRUE(requested("/slow"));
    watch.page.load(url("/target"), 35);
    ASSERT_TRUE(QTest::qWaitFor([&watch] { return !watch.endings.empty(); }, webWaitMs));
    // The worker answers in order: a stray ending of the replaced load would come before this.
    EXPECT_EQ(watch.run("1"), ScriptOutcome{ScriptValue{}});
    EXPECT_EQ(watch.endings, std::vector<Ending>{Ending::finished});
    EXPECT_EQ(watch.urlAtEnd, url("/target"));
}

TEST_F(RemoteWebHostTest, EvaluatesScriptsAndKeepsTheirGlobals)
{
    PageWatch watch(host().workerPage(Site::assessment));
    ASSERT_EQ(watch.load(url("/page")), Ending::finished);
    const struct {
        const char* script;
        ScriptOutcome expected;
    } cases[] = {
        {"document.title", text("page")},
        {"'한글 ' + 'text'", text("한글 text")},
        {"!!document.querySelector('h1')", flag(true)},
        {"null", ScriptValue{}},
        {"({title: document.title})", ScriptValue{}},
        {"undefinedName.property", scriptError("undefinedName is not defined")},
        {"throw new Error('plain message')", scriptError("plain message")},
        {"throw 'a bare text'", scriptError("a bare text")},
        {"this is not JavaScript", scriptError("Unexpected identifier")},
        {"var counter = 1; function next() { return ++counter; } 'set'", text("set")},
        {"String(next()) + ':' + counter", text("2:2")},
        {"'x'.repeat(300000).length === 300000 && 'x'.repeat(300000) + 'y'", text(std::string(300000, 'x') + "y")},
    };
    for (const auto& c : cases) {
        const auto outcome = watch.run(c.script);
        ASSERT_TRUE(outcome) << c.script;
        if (c.expected.index() == 1 && outcome->index() == 1)
            EXPECT_NE(
                std::get<PageError>(*outcome).message.find(std::get<PageError>(c.expected).message), std::string::npos)
                << c.script << ": " << std::get<PageError>(*outcome).message;
        else
            EXPECT_EQ(*outcome, c.expected) << c.script;
    }
}

TEST_F(RemoteWebHostTest, AwaitsAsyncBodies)
{
    PageWatch watch(host().workerPage(Site::canvas));
    ASSERT_EQ(watch.load(url("/page")), Ending::finished);
    EXPECT_EQ(
        watch.run("await new Promise(r => setTimeout(r, 300)); return document.title + '!';", true), text("page!"));
    EXPECT_EQ(watch.run("return (await fetch('/target')).ok;", true), flag(true));
    EXPECT_EQ(watch.run("await null; throw new Error('rejected later');", true), scriptError("rejected later"));
    const auto syntax = watch.run("return (;", true);
    ASSERT_TRUE(syntax && syntax->index() == 1);
    EXPECT_EQ(std::get<PageError>(*syntax).kind, PageError::Kind::script);

    // A navigation takes the call's document away.
    std::optional<ScriptOutcome> abandoned;
    watch.page.callAsync("await new Promise(r => setTimeout(r, 10000)); return 'late';",
        [&abandoned](ScriptOutcome o) { abandoned = std::move(o); });
    EXPECT_EQ(watch.run("1"), ScriptOutcome{ScriptValue{}}); // so the call has begun
    watch.page.load(url("/target"), 35);
    ASSERT_TRUE(QTest::qWaitFor([&abandoned] { return abandoned.has_value(); }, webWaitMs));
    EXPECT_EQ(*abandoned, terminated);
}

TEST_F(RemoteWebHostTest, PersistentCookieSurvivesAnIdleQuit)
{
    PageWatch watch(host({.idleQuit = std::chrono::milliseconds(300)}).workerPage(Site::assessment));
    ASSERT_EQ(watch.load(url("/cookie")), Ending::finished);
    // Idle: the worker quits cleanly, which writes the cookie out. (A killed worker may lose it.)
    ASSERT_TRUE(QTest::qWaitFor([this] { return host_->workerProcessId() == 0; }, webWaitMs));
    EXPECT_EQ(watch.page.url(), url("/cookie")) << "the page keeps its address across workers";

    ASSERT_EQ(watch.load(url("/page")), Ending::finished);
    EXPECT_EQ(host_->workersStarted(), 2);
    EXPECT_EQ(watch.run("document.cookie"), text("session=kept"));
}

TEST_F(RemoteWebHostTest, AShownLoginWindowKeepsTheWorkerAndOpensBlankTargetLinksInPlace)
{
    LoginView& view = host({.idleQuit = std::chrono::milliseconds(200)}).loginView(Site::canvas);
    view.setTexts("상태", "", false);
    view.show();
    EXPECT_TRUE(view.isVisible());
    PageWatch watch(view.page());
    ASSERT_EQ(watch.load(url("/page")), Ending::finished);
    EXPECT_EQ(watch.run("document.getElementById('blank').click(); true"), flag(true));
    ASSERT_TRUE(QTest::qWaitFor([&watch] { return watch.endings.size() == 2; }, webWaitMs));
    EXPECT_EQ(watch.endings.back(), Ending::finished);
    EXPECT_EQ(watch.page.url(), url("/target"));
    EXPECT_FALSE(QTest::qWaitFor([this] { return host_->workerProcessId() == 0; }, 1000));
    EXPECT_EQ(host_->workersStarted(), 1);
}

// ---- fake workers ----

class FakeWorkerTest : public RemoteWebHostTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        qputenv("VANTORY_WEB_WORKER", VANTORY_FAKE_WORKER);
        qputenv("FAKE_WORKER_MODE", GetParam());
    }
};

TEST_P(FakeWorkerTest, EndsEverythingPendingAndStartsAgain)
{
    // Only silence waits for the reply timeout; any other misbehaviour is seen as it arrives.
    const bool silent = std::string(GetParam()) == "silent";
    const Scheduler::Duration replyTimeout = silent ? std::chrono::milliseconds(500) : std::chrono::seconds(60);
    PageWatch watch(host({.replyTimeout = replyTimeout}).workerPage(Site::assessment));
    // The second time round a fresh worker starts and fails the same way.
    for (int worker = 1; worker <= 2; ++worker) {
        ASSERT_TRUE(QTest::qWaitFor([this] { return host_->workerProcessId() == 0; }, webWaitMs));
        std::optional<ScriptOutcome> outcome;
        watch.page.evaluate("1", [&outcome](ScriptOutcome o) { outcome = std::move(o); });
        watch.page.load(url("/page"), 35);
        ASSERT_TRUE(QTest::qWaitFor([&] { return outcome && !watch.endings.empty(); }, webWaitMs)) << worker;
        EXPECT_EQ(*outcome, terminated);
        EXPECT_EQ(watch.endings, std::vector<Ending>{Ending::terminated});
        EXPECT_FALSE(watch.page.isLoading());
        EXPECT_EQ(host_->workersStarted(), worker);
        watch.endings.clear();
    }
}

INSTANTIATE_TEST_SUITE_P(Misbehaving, FakeWorkerTest,
    ::testing::Values(
        "junk", "beforeReady", "wrongVersion", "oversized", "unknownCall", "unknownLoad", "silent", "exit"));

TEST_F(RemoteWebHostTest, AMissingWorkerProgramEndsTheLoad)
{
    qputenv("VANTORY_WEB_WORKER", "/nonexistent/vantory-web");
    PageWatch watch(host().workerPage(Site::canvas));
    EXPECT_EQ(watch.load(url("/page")), Ending::terminated);
}

TEST_F(RemoteWebHostTest, ALoginWindowClosesWithItsWorkerAndHearsItsButtons)
{
    qputenv("VANTORY_WEB_WORKER", VANTORY_FAKE_WORKER);
    for (const auto& [mode, expectedSyncs] : {std::pair{"exit", 0}, {"buttons", 1}}) {
        qputenv("FAKE_WORKER_MODE", mode);
        LoginView& view = host().loginView(Site::canvas);
        int syncs = 0, closes = 0;
        view.onSync = [&syncs] { ++syncs; };
        view.onClosed = [&closes, &view] {
            EXPECT_FALSE(view.isVisible());
            ++closes;
        };
        view.show();
        ASSERT_TRUE(QTest::qWaitFor([&closes] { return closes == 1; }, webWaitMs)) << mode;
        EXPECT_EQ(syncs, expectedSyncs) << mode;
        host_.reset(); // before the callbacks' variables go
    }
}

} // namespace
