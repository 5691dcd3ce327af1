// SPDX-License-Identifier: GPL-3.0-or-later
// Both passes and the sign-in in the real web worker against the fixture sites: what each pass
// ends in, for the store and the saved file. How each failure reads is for the passes' own tests.

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

#include <csignal>

using namespace vantory;
using Json = nlohmann::json;

namespace {

Json assessmentCourse(const std::string& id, const std::string& code, const std::string& end)
{
    const Json row = {{"code", code}, {"title", "Work " + code}, {"available", "100% until 23:59, Fri, Dec 12"},
        {"score", "40%"}, {"rules", {{{"credit", "100%"}, {"start", "2025-12-01 10:00:00-08 (PST)"}, {"end", end}}}}};
    return {{"id", id}, {"text", "CS 2" + id + "1: Course " + id + ", 2025W1"}, {"heading", "CS " + id + ", 2025W1"},
        {"groups", {{{"heading", "Homeworks"}, {"rows", {row}}}}}};
}

Json canvasCourse(int id, int assignment, const std::string& due, bool submitted = false)
{
    const Json lab = {{"id", assignment}, {"name", "Lab"}, {"assignment_group_id", 1}, {"due_at", due},
        {"submission", {{"workflow_state", submitted ? "submitted" : "unsubmitted"}}}};
    return {{"id", id}, {"name", "Course " + std::to_string(id)}, {"course_code", "ECON " + std::to_string(id)},
        {"term", "2025W1"}, {"groups", {{{"id", 1}, {"name", "Labs"}}}}, {"assignments", {lab}}};
}

class SyncEndToEndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new test::TestServer(VANTORY_TESTS "/fixtures/sites.py"); }
    static void TearDownTestSuite() { delete server; }
    void SetUp() override { startApplication(); }

    // A fresh run of the application on the same data folder: store, web worker and connections.
    void startApplication()
    {
        connections.reset();
        web.reset();
        store = std::make_unique<Store>(folder / "state.json", scheduler.now());
        web = std::make_unique<RemoteWebHost>(
            scheduler, QString::fromStdString((folder / "web").string()), RemoteWebHostOptions{.forwardErrors = true});
        connections = std::make_unique<SiteConnections>(*store, *web, scheduler, PageScripts::fromResources());
    }

    void setScenario(const Json& scenario) { ASSERT_TRUE(server->setScenario(scenario)); }

    void runPass(BrevaneConnection& connection)
    {
        connection.sync();
        ASSERT_TRUE(connection.running());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !connection.running(); }, 120000)) << "the pass never ended";
    }

    const Assessment* item(const std::string& id) const
    {
        const auto found = std::ranges::find(store->db().assessments, id, &Assessment::id);
        return found == store->db().assessments.end() ? nullptr : &*found;
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

TEST_F(SyncEndToEndTest, BothSitesSyncFromAddressesInTheStateFileAloneAndFollowTheirChanges)
{
    const Json canvas = {canvasCourse(101, 11, "2025-12-13T07:59:00Z", true), {{"id", 102}, {"assignmentsTab", false}}};
    setScenario({{"assessment", {{"courses", {assessmentCourse("1", "HW1", "2025-12-19 23:59:00-08 (PST)")}}}},
        {"canvas", {{"courses", canvas}}}});
    store->update([](Database& db) {
        db.settings.assessmentBaseURL = server->base() + "/";
        db.settings.canvasBaseURL = server->base("localhost");
    });
    Sites::setCurrent({}); // nothing but the file names the sites
    startApplication();
    const SiteChoice choice(*store, {});
    runPass(connections->assessment());
    EXPECT_EQ(store->status(), "최근 업데이트 완료");
    ASSERT_NE(item("1:HW1"), nullptr);
    EXPECT_EQ(secondsSince1970(*item("1:HW1")->due), 1766217540); // 2025-12-19 23:59 PST
    runPass(connections->canvas());
    EXPECT_EQ(store->canvasStatus(), "Canvas 업데이트 완료 · 1개 과목은 과제 목록 미제공");
    ASSERT_NE(item("canvas:101:11"), nullptr);
    EXPECT_EQ(std::tie(item("canvas:101:11")->submitted, item("canvas:101:11")->category), std::tuple(true, "Labs"));
    // A site that stops answering after a good pass: its failure and why, not a sign-in.
    store->update([](Database& db) { db.settings.assessmentBaseURL = server->base("127.0.0.3") + "/"; });
    runPass(connections->assessment());
    EXPECT_EQ(std::tuple(store->status(), store->statusReason(), store->needsLogin()),
        std::tuple("과목 목록 조회 실패 · 기존 일정 유지", "사이트가 연결을 거부했습니다 (오류 -102)", false));

    // A school with Canvas alone: the assessment site is never asked; Canvas's changes are followed.
    store->update([](Database& db) { db.settings.assessmentBaseURL = ""; });
    connections->assessment().sync();
    EXPECT_FALSE(connections->assessment().running());
    setScenario({{"canvas", {{"courses", {canvasCourse(101, 12, "2025-12-21T07:59:00Z")}}}}});
    runPass(connections->canvas());
    EXPECT_NE(item("canvas:101:12"), nullptr);
    EXPECT_EQ(StateFile(folder / "state.json").load(), store->db()) << "what is shown is what is saved";
}

TEST_F(SyncEndToEndTest, SigningInInTheLoginWindowStartsOnePassAndLastsAcrossARestart)
{
    // This test's profile is new, so the worker starts signed out.
    setScenario({{"assessment",
        {{"requireSignIn", true}, {"courses", {assessmentCourse("1", "HW1", "2025-12-12 23:59:00 (PST)")}}}}});
    runPass(connections->assessment());
    EXPECT_TRUE(store->needsLogin());

    // The student signs in on the sign-in host; the site's own page then shows the course table.
    LoginFlow& login = connections->assessment().login();
    login.show();
    WebPage& page = web->loginView(Site::assessment).page();
    const auto shows = [&](const char* path) {
        return QTest::qWaitFor([&] { return page.url().find(path) != std::string::npos && !page.isLoading(); }, 60000);
    };
    ASSERT_TRUE(shows("/pl/login"));
    page.load(server->base("127.0.0.2") + "/idp/login?site=assessment", 60);
    ASSERT_TRUE(shows("/idp/login"));
    page.evaluate("document.querySelector('form').submit(); true", [](ScriptOutcome) {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return login.detected(); }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return store->status() == "최근 업데이트 완료"; }, 120000));
    EXPECT_NE(item("1:HW1"), nullptr);

    // Both processes restart: the cookie was flushed by the worker's clean exit.
    startApplication();
    runPass(connections->assessment());
    EXPECT_EQ(store->status(), "최근 업데이트 완료");
}

// The recovery of a pass from its worker's death, in one place: the death ends it, not the load watchdog.
TEST_F(SyncEndToEndTest, AWorkerKilledInAPassFailsItAndTheNextPassWorks)
{
    Json slow = assessmentCourse("2", "Q1", "2025-12-15 10:00:00 (PST)");
    const auto serve = [&](bool hang) {
        slow["hang"] = hang;
        setScenario({{"assessment", {{"courses", {assessmentCourse("1", "HW1", "2025-12-12 23:59:00 (PST)"), slow}}}}});
    };
    serve(false);
    runPass(connections->assessment());
    ASSERT_EQ(store->db().assessments.size(), 2u);

    serve(true);
    BrevaneConnection& site = connections->assessment();
    site.sync();
    ASSERT_TRUE(QTest::qWaitFor([&] { return store->status() == "221 동기화 중…"; }, 60000));
    ASSERT_GT(web->workerProcessId(), 0);
    ::kill(static_cast<pid_t>(web->workerProcessId()), SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !site.running(); }, 20000)) << "ended by the death, not the watchdog";
    EXPECT_EQ(store->errors().at("2"), "페이지 형식을 읽지 못했어요. 기존 일정은 유지됩니다.");
    EXPECT_EQ(store->db().assessments.size(), 2u);

    serve(false);
    runPass(site);
    EXPECT_EQ(store->status(), "최근 업데이트 완료");
}
