// Both passes and the sign-in in the real web worker against the fixture sites: what each pass
// ends in, for the store and the saved file.

#include "app/QtScheduler.h"
#include "connection/PageScripts.h"
#include "connection/RemoteWebHost.h"
#include "connection/SiteConnections.h"
#include "model/StateFile.h"
#include "store/SiteChoice.h"
#include "store/Store.h"

#include "WebFixture.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <random>
#include <set>

using namespace vantory;
using Json = nlohmann::json;

namespace {

class SyncEndToEndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new test::TestServer(VANTORY_FIXTURE_SITES); }
    static void TearDownTestSuite() { delete server; }
    void SetUp() override { startApplication(); }

    // A fresh run of the application on the same data folder: store, web worker and connections.
    void startApplication(RemoteWebHostOptions options = {.forwardErrors = true})
    {
        connections.reset();
        web.reset();
        store = std::make_unique<Store>(folder / "state.json", scheduler.now());
        web = std::make_unique<RemoteWebHost>(scheduler, QString::fromStdString((folder / "web").string()), options);
        connections = std::make_unique<SiteConnections>(*store, *web, scheduler, PageScripts::fromResources());
    }

    // A port that nothing listens on any more.
    static quint16 closedPort()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        return server.serverPort();
    }

    void setScenario(const Json& scenario) { ASSERT_TRUE(server->setScenario(scenario)); }

    void runPass(BrevaneConnection& connection)
    {
        connection.sync();
        ASSERT_TRUE(connection.running());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !connection.running(); }, 120000)) << "the pass never ended";
    }

    std::set<std::string> storedIds() const
    {
        std::set<std::string> ids;
        for (const Assessment& stored : store->db().assessments)
            ids.insert(stored.id);
        return ids;
    }

    // Every failure a pass reports says that what is stored stays.
    void expectOnlyKeptDeadlineFailures() const
    {
        for (const auto& [course, text] : store->errors()) {
            EXPECT_NE(text.find("유지"), std::string::npos) << course << ": " << text;
        }
        for (const std::string& status : {store->status(), store->canvasStatus()}) {
            EXPECT_EQ(status.find("중…"), std::string::npos) << status;
        }
    }

    const Assessment* item(const std::string& id) const
    {
        for (const Assessment& stored : store->db().assessments) {
            if (stored.id == id)
                return &stored;
        }
        return nullptr;
    }

    static Json assessmentCourse(const std::string& id, const std::string& name, Json rows)
    {
        return {{"id", id}, {"text", name + ": Course " + id + ", 2025W1"}, {"heading", name + ", 2025W1"},
            {"groups", {{{"heading", "Homeworks"}, {"rows", std::move(rows)}}}}};
    }

    static Json row(const std::string& code, const std::string& end)
    {
        return {{"code", code}, {"title", "Work " + code}, {"available", "100% until 23:59, Fri, Dec 12"},
            {"score", "40%"},
            {"rules", {{{"credit", "100%"}, {"start", "2025-12-01 10:00:00-08 (PST)"}, {"end", end}}}}};
    }

    static Json canvasCourse(int id, const std::string& code, Json assignments, bool tab = true)
    {
        return {{"id", id}, {"name", "Course " + code}, {"course_code", code}, {"term", "2025W1"},
            {"assignmentsTab", tab}, {"groups", {{{"id", 1}, {"name", "Labs"}}}},
            {"assignments", std::move(assignments)}};
    }

    static Json assignment(int id, const std::string& due, bool submitted = false)
    {
        return {{"id", id}, {"name", "Lab " + std::to_string(id)}, {"assignment_group_id", 1}, {"due_at", due},
            {"unlock_at", nullptr}, {"submission", {{"workflow_state", submitted ? "submitted" : "unsubmitted"}}}};
    }

    inline static test::TestServer* server = nullptr;
    QtScheduler scheduler;
    test::TemporaryFolder folder;
    test::SiteScope sites{{server->base(), server->base("localhost")}};
    std::unique_ptr<Store> store;
    std::unique_ptr<RemoteWebHost> web;
    std::unique_ptr<SiteConnections> connections;
};

} // namespace

TEST_F(SyncEndToEndTest, BothSitesSyncAndASecondPassFollowsTheirChanges)
{
    setScenario({{"assessment",
                     {{"courses",
                         {assessmentCourse("1", "CS 313",
                              {row("HW1", "2025-12-12 23:59:00 (PST)"), row("HW2", "2025-12-19 23:59:00-08 (PST)")}),
                             assessmentCourse("2", "CS 221", {row("Q1", "2025-12-15 10:00:00 (PST)")})}}}},
        {"canvas",
            {{"courses",
                {canvasCourse(101, "ECON 101",
                     {assignment(11, "2025-12-13T07:59:00Z", true), assignment(12, "2025-12-20T07:59:00Z")}),
                    canvasCourse(102, "ENGL 110", Json::array(), false)}}}}});
    runPass(connections->assessment());
    EXPECT_EQ(store->status(), "최근 업데이트 완료");
    EXPECT_TRUE(store->errors().empty());
    ASSERT_NE(item("1:HW2"), nullptr);
    EXPECT_EQ(item("1:HW2")->deadlineStatus, "known");
    EXPECT_EQ(secondsSince1970(*item("1:HW2")->due), 1766217540); // 2025-12-19 23:59 PST
    ASSERT_NE(item("2:Q1"), nullptr);

    runPass(connections->canvas());
    EXPECT_EQ(store->canvasStatus(), "Canvas 업데이트 완료 · 1개 과목은 과제 목록 미제공");
    ASSERT_NE(item("canvas:101:11"), nullptr);
    EXPECT_EQ(item("canvas:101:11")->submitted, true);
    EXPECT_EQ(item("canvas:101:11")->category, "Labs");
    EXPECT_EQ(store->db().settings.courses.size(), 4u);

    // Course 2 vanishes, course 3 appears, HW1 vanishes and HW2 moves.
    setScenario({{"assessment",
                     {{"courses",
                         {assessmentCourse("1", "CS 313", {row("HW2", "2025-12-20 23:59:00 (PST)")}),
                             assessmentCourse("3", "CS 210", {row("L1", "2025-12-16 12:00:00 (PST)")})}}}},
        {"canvas", {{"courses", {canvasCourse(101, "ECON 101", {assignment(12, "2025-12-21T07:59:00Z")})}}}}});
    runPass(connections->assessment());
    runPass(connections->canvas());
    EXPECT_EQ(store->status(), "최근 업데이트 완료");
    EXPECT_TRUE(item("1:HW1")->missing) << "a vanished item is kept, marked missing";
    EXPECT_EQ(secondsSince1970(*item("1:HW2")->due), 1766303940);
    EXPECT_NE(item("2:Q1"), nullptr) << "a vanished course keeps its items";
    ASSERT_NE(item("3:L1"), nullptr);
    const auto& courses = store->db().settings.courses;
    EXPECT_FALSE(std::find_if(courses.begin(), courses.end(), [](const Course& c) { return c.id == "2"; })->enabled);
    EXPECT_FALSE(
        std::find_if(courses.begin(), courses.end(), [](const Course& c) { return c.id == "canvas:102"; })->enabled);
    EXPECT_EQ(StateFile(folder / "state.json").load(), store->db()) << "what is shown is what is saved";
}

TEST_F(SyncEndToEndTest, AddressesFromTheStateFileAloneReachTheSites)
{
    setScenario(
        {{"assessment", {{"courses", {assessmentCourse("1", "CS 313", {row("HW1", "2025-12-12 23:59:00 (PST)")})}}}},
            {"canvas", {{"courses", {canvasCourse(101, "ECON 101", {assignment(12, "2025-12-20T07:59:00Z")})}}}}});
    store->update([](Database& db) {
        db.settings.assessmentBaseURL = server->base() + "/";
        db.settings.canvasBaseURL = server->base("localhost");
    });
    Sites::setCurrent({}); // nothing but the file names the sites
    startApplication();
    const SiteChoice choice(*store, {});
    runPass(connections->assessment());
    runPass(connections->canvas());
    EXPECT_NE(item("1:HW1"), nullptr);
    EXPECT_NE(item("canvas:101:12"), nullptr);

    std::optional<std::pair<bool, std::string>> report;
    connections->canvas().checkAddress(
        server->base("localhost"), [&](bool reached, std::string text) { report.emplace(reached, text); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return report.has_value(); }, 60000));
    EXPECT_EQ(*report, std::pair(true, std::string("연결됨 · 보안되지 않은 연결 (http) · localhost")));

    // A school with Canvas alone: the assessment site is never asked, Canvas still is.
    store->update([](Database& db) { db.settings.assessmentBaseURL = ""; });
    connections->assessment().sync();
    EXPECT_FALSE(connections->assessment().running());
    setScenario({{"canvas", {{"courses", {canvasCourse(101, "ECON 101", {assignment(13, "2025-12-21T07:59:00Z")})}}}}});
    runPass(connections->canvas());
    EXPECT_NE(item("canvas:101:13"), nullptr);
    EXPECT_NE(item("1:HW1"), nullptr) << "the unused site's deadlines stay";
}

TEST_F(SyncEndToEndTest, FailingPagesKeepTheStoredDeadlinesWithTheirTexts)
{
    const Json good = assessmentCourse("1", "CS 313", {row("HW1", "2025-12-12 23:59:00 (PST)")});
    Json wrong = assessmentCourse("2", "CS 221", {row("Q1", "2025-12-15 10:00:00 (PST)")});
    Json unreadable = assessmentCourse("3", "CS 210", {row("L1", "someday")});
    Json empty = assessmentCourse("4", "CS 110", Json::array());
    setScenario({{"assessment", {{"courses", {good, wrong, unreadable, empty}}}},
        {"canvas",
            {{"courses",
                {canvasCourse(101, "ECON 101", {assignment(11, "2025-12-13T07:59:00Z")}),
                    canvasCourse(102, "ENGL 110", {assignment(21, "2025-12-13T07:59:00Z")})}}}}});
    runPass(connections->assessment());
    runPass(connections->canvas());
    const std::size_t stored = store->db().assessments.size();

    wrong["showsCourse"] = "1";
    Json failingCanvas = canvasCourse(102, "ENGL 110", {assignment(21, "2025-12-13T07:59:00Z")});
    failingCanvas["assignmentsError"] = 404;
    setScenario({{"assessment", {{"courses", {good, wrong, unreadable, empty}}}},
        {"canvas",
            {{"courses", {canvasCourse(101, "ECON 101", {assignment(11, "2025-12-13T07:59:00Z")}), failingCanvas}}}}});
    runPass(connections->assessment());
    runPass(connections->canvas());

    const auto errors = store->errors();
    EXPECT_EQ(errors.at("2"), "과목 정보가 일치하지 않아요. 기존 일정은 유지됩니다.");
    EXPECT_EQ(errors.at("3"), "일부 날짜를 확인하지 못했어요");
    EXPECT_EQ(errors.at("4"), "과목 정보가 일치하지 않아요. 기존 일정은 유지됩니다.");
    EXPECT_EQ(errors.at("canvas:102"), "과제 페이지를 열 수 없습니다 · 기존 일정 유지");
    EXPECT_EQ(store->status(), "일부 동기화 실패 · 기존 일정 유지");
    EXPECT_EQ(store->canvasStatus(), "Canvas 1개 과목 업데이트 · 1개 확인 필요");
    EXPECT_EQ(store->db().assessments.size(), stored);
    EXPECT_FALSE(item("2:Q1")->missing);
    EXPECT_FALSE(item("canvas:102:21")->missing);
}

TEST_F(SyncEndToEndTest, SigningInInTheLoginWindowStartsOnePassAndLastsAcrossARestart)
{
    Json scenario = {{"assessment",
        {{"requireSignIn", true},
            {"courses", {assessmentCourse("1", "CS 313", {row("HW1", "2025-12-12 23:59:00 (PST)")})}}}}};
    setScenario(scenario); // this test's profile is new, so the worker starts signed out

    runPass(connections->assessment());
    EXPECT_TRUE(store->needsLogin());
    EXPECT_EQ(store->status(), "로그인이 필요해요 · 기존 일정 유지");

    // The student signs in on the sign-in host; the site's own page then shows the course table.
    LoginFlow& login = connections->assessment().login();
    login.show();
    WebPage& page = web->loginView(Site::assessment).page();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return page.url().find("/pl/login") != std::string::npos && !page.isLoading(); }, 60000));
    page.load(server->base("127.0.0.2") + "/idp/login?site=assessment", 60);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return page.url().find("/idp/login") != std::string::npos && !page.isLoading(); }, 60000));
    page.evaluate("document.querySelector('form').submit(); true", [](ScriptOutcome) {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return login.detected(); }, 60000));
    EXPECT_FALSE(store->needsLogin());
    ASSERT_TRUE(QTest::qWaitFor([&] { return store->status() == "최근 업데이트 완료"; }, 120000));
    EXPECT_NE(item("1:HW1"), nullptr);

    // Both processes restart: the cookie was flushed by the worker's clean exit.
    startApplication();
    runPass(connections->assessment());
    EXPECT_EQ(store->status(), "최근 업데이트 완료");
    EXPECT_FALSE(store->needsLogin());
}

TEST_F(SyncEndToEndTest, AnUnreachableSiteIsAFailureNotASignIn)
{
    const std::string closedSite = "http://127.0.0.1:" + std::to_string(closedPort());
    const test::SiteScope closed({closedSite, closedSite});
    runPass(connections->assessment());
    EXPECT_FALSE(store->needsLogin()) << "being offline must not stop the schedule until a sign-in";
    EXPECT_EQ(store->status(), "과목 목록 조회 실패 · 기존 일정 유지");
    runPass(connections->canvas());
    EXPECT_FALSE(store->canvasNeedsLogin());
    EXPECT_EQ(store->canvasStatus(), "Canvas 과목 조회 실패 · 기존 일정 유지");

    std::optional<std::pair<bool, std::string>> report;
    connections->canvas().checkAddress(
        closedSite, [&](bool reached, std::string text) { report.emplace(reached, text); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return report.has_value(); }, 60000));
    EXPECT_EQ(*report, std::pair(false, std::string("연결 실패 · 사이트가 연결을 거부했습니다 (오류 -102)")));
}

TEST_F(SyncEndToEndTest, AWorkerKilledInAPassFailsItAndTheNextPassWorks)
{
    Json slow = assessmentCourse("2", "CS 221", {row("Q1", "2025-12-15 10:00:00 (PST)")});
    const auto serve = [&] {
        setScenario({{"assessment",
            {{"courses", {assessmentCourse("1", "CS 313", {row("HW1", "2025-12-12 23:59:00 (PST)")}), slow}}}}});
    };
    serve();
    runPass(connections->assessment());
    ASSERT_EQ(store->db().assessments.size(), 2u);

    slow["hang"] = true;
    serve();
    BrevaneConnection& site = connections->assessment();
    site.sync();
    ASSERT_TRUE(QTest::qWaitFor([&] { return store->status() == "221 동기화 중…"; }, 60000));
    ASSERT_GT(web->workerProcessId(), 0);
    ::kill(static_cast<pid_t>(web->workerProcessId()), SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !site.running(); }, 60000));
    EXPECT_EQ(store->errors().at("2"), "페이지 형식을 읽지 못했어요. 기존 일정은 유지됩니다.");
    EXPECT_EQ(store->status(), "일부 동기화 실패 · 기존 일정 유지");
    EXPECT_EQ(store->db().assessments.size(), 2u);

    slow.erase("hang");
    serve();
    runPass(site);
    EXPECT_EQ(store->status(), "최근 업데이트 완료");
    EXPECT_EQ(web->workersStarted(), 2);
}

// The worker dies at random moments of both sites' passes: every pass ends with its failure texts,
// the application's event loop never stalls (the line keeps drawing), nothing stored is lost, and
// a clean pass right after succeeds.
TEST_F(SyncEndToEndTest, AWorkerKilledAtRandomMomentsLosesNothingAndTheNextPassRecovers)
{
    setScenario({{"assessment",
                     {{"courses",
                         {assessmentCourse("1", "CS 313", {row("HW1", "2025-12-12 23:59:00 (PST)")}),
                             assessmentCourse("2", "CS 221", {row("Q1", "2025-12-15 10:00:00 (PST)")}),
                             assessmentCourse("3", "CS 210", {row("L1", "2025-12-16 12:00:00 (PST)")})}}}},
        {"canvas",
            {{"courses",
                {canvasCourse(101, "ECON 101", {assignment(11, "2025-12-13T07:59:00Z")}),
                    canvasCourse(102, "ENGL 110", {assignment(21, "2025-12-14T07:59:00Z")})}}}}});
    QElapsedTimer clock;
    clock.start();
    runPass(connections->assessment());
    runPass(connections->canvas());
    const qint64 cleanPassesMs = clock.elapsed();
    const std::set<std::string> stored = storedIds();
    ASSERT_EQ(stored.size(), 5u);

    // A 20 ms tick stands in for the line's redraws; the longest gap between two ticks is the
    // longest the application could not draw.
    qint64 lastTick = clock.elapsed();
    qint64 longestGap = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    tick.start(20);

    std::mt19937 random(2026);
    int killedMidPass = 0;
    for (int round = 0; round < 6; ++round) {
        BrevaneConnection& site = round % 2 == 0 ? connections->assessment() : connections->canvas();
        const int delayMs = std::uniform_int_distribution<int>(0, static_cast<int>(cleanPassesMs / 4))(random);
        site.sync();
        QTest::qWait(delayMs);
        if (site.running() && web->workerProcessId() > 0) {
            ::kill(static_cast<pid_t>(web->workerProcessId()), SIGKILL);
            ++killedMidPass;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !site.running(); }, 120000)) << "round " << round;
        expectOnlyKeptDeadlineFailures();
        EXPECT_EQ(storedIds(), stored) << "round " << round << ", killed after " << delayMs << " ms";
    }
    EXPECT_GE(killedMidPass, 2) << "the kills must land inside passes";

    runPass(connections->assessment());
    runPass(connections->canvas());
    EXPECT_EQ(store->status(), "최근 업데이트 완료");
    EXPECT_TRUE(store->errors().empty());
    EXPECT_EQ(StateFile(folder / "state.json").load(), store->db());
    EXPECT_LT(longestGap, 2000) << "the application stalled while its worker died";
    RecordProperty("killedMidPass", killedMidPass);
    RecordProperty("longestGapMs", static_cast<int>(longestGap));
}

// A worker that talks garbage, floods, exits or speaks another protocol fails the pass like a crash; the next
// pass, with a sound worker, succeeds.
class MisbehavingWorkerPassTest : public SyncEndToEndTest, public ::testing::WithParamInterface<const char*> { };

TEST_P(MisbehavingWorkerPassTest, FailsThePassAndTheNextOneRecovers)
{
    setScenario(
        {{"assessment", {{"courses", {assessmentCourse("1", "CS 313", {row("HW1", "2025-12-12 23:59:00 (PST)")})}}}}});
    runPass(connections->assessment());
    ASSERT_EQ(store->status(), "최근 업데이트 완료");

    startApplication({.replyTimeout = Scheduler::Duration(2.0), .forwardErrors = true});
    qputenv("VANTORY_WEB_WORKER", VANTORY_FAKE_WORKER);
    qputenv("FAKE_WORKER_MODE", GetParam());
    runPass(connections->assessment());
    qunsetenv("VANTORY_WEB_WORKER");
    qunsetenv("FAKE_WORKER_MODE");
    EXPECT_EQ(store->status(), "과목 목록 조회 실패 · 기존 일정 유지");
    EXPECT_FALSE(store->needsLogin()) << "a broken worker is not a sign-in";
    EXPECT_NE(item("1:HW1"), nullptr);

    runPass(connections->assessment());
    EXPECT_EQ(store->status(), "최근 업데이트 완료");
}

INSTANTIATE_TEST_SUITE_P(
    Worker, MisbehavingWorkerPassTest, ::testing::Values("junk", "beforeReady", "wrongVersion", "oversized", "exit"));
