// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/CanvasItems.h"

#include "ConnectionFixture.h"

using namespace vantory;
using namespace vantory::test;
using Json = nlohmann::json;

namespace {

const std::string courseList = "https://canvas.test/courses";

const auto courseHome = [](const std::string& number) { return "https://canvas.test/courses/" + number; };

Json listed(const std::string& number, const std::string& name)
{
    return {{"id", "canvas:" + number}, {"name", name}, {"fullName", name + " (Canvas)"}, {"year", 2025}};
}

Json assignment(const std::string& id, std::optional<std::string> due = "2025-12-05T07:59:59Z")
{
    Json json = {{"id", id}, {"title", "과제 " + id}, {"category", "Assignments"},
        {"url", "https://canvas.test/courses/1/assignments/" + id}};
    if (due)
        json["due"] = *due;
    return json;
}

// A Canvas site: the course list, each course's home with or without an assignments tab, and each
// course's assignments and submission states.
class CanvasPassTest : public ConnectionFixture {
protected:
    void SetUp() override
    {
        store.update([](Database& db) { db.settings.canvasEnabled = true; });
        worker(Site::canvas).scripts = [this](const std::string& url, const std::string& script) {
            if (script == "canvas-courses")
                return url.find("/login") == std::string::npos ? text(courses) : notText();
            if (script == assignmentsTabCheck)
                return flag(!withoutTab.contains(url));
            const std::string number
                = url.substr(courseHome("").size(), url.find("/assignments") - courseHome("").size());
            if (script == "canvas-assignments")
                return text(assignments.contains(number) ? assignments[number] : Json::array());
            return text(Json{{"1", true}});
        };
    }

    // Three courses of one assignment each, stored by a first pass.
    void storeThree()
    {
        courses = {listed("1", "A"), listed("2", "B"), listed("3", "C")};
        assignments["1"] = assignments["2"] = assignments["3"] = {assignment("1")};
        runPass(Site::canvas);
        ASSERT_EQ(store.db().assessments.size(), 3u);
    }

    Json courses = Json::array();
    std::map<std::string, Json> assignments; // by course number
    std::set<std::string> withoutTab; // course home URLs
    std::map<std::string, Response>& responses = worker(Site::canvas).responses;
    std::map<std::string, ScriptOutcome>& results = worker(Site::canvas).results;
};

TEST_F(CanvasPassTest, AFullPassStoresEveryAssignmentWithItsDatesAndSubmission)
{
    courses = {listed("1", "운영체제"), listed("2", "ECON 101")};
    assignments["1"] = {assignment("1"), assignment("2", std::nullopt)};
    runPass(Site::canvas);
    EXPECT_EQ(std::tuple(store.canvasStatus(), store.canvasSyncing(), store.canvasNeedsLogin()),
        std::tuple("Canvas 업데이트 완료", false, false));
    const auto& items = store.db().assessments;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(std::tie(items[0].id, items[0].code, items[0].availability, items[0].submitted),
        std::tuple("canvas:1:1", "A1", "Canvas Due", true));
    EXPECT_EQ(secondsSince1970(*items[0].due), 1764921599);
    EXPECT_EQ(std::tuple(items[1].deadlineStatus, items[1].due.has_value()), std::tuple("unknown", false));
}

TEST_F(CanvasPassTest, ACourseListThatFailsKeepsEverythingAndTellsLoginApart)
{
    const Failing cases[] = {{"never ready", {}, notText(), "", false, "페이지 형식을 알아볼 수 없습니다"},
        {"sign-in page", {"https://canvas.test/login/canvas"}, {}, "", true, "사이트가 로그인 페이지로 보냈습니다"},
        {"single sign-on unreachable",
            {"https://sso.university.test/idp", Response::End::fail,
                PageError::failedLoad({LoadFailure::Kind::network, -202})},
            {}, "", true, "보안 연결에 실패했습니다 (오류 -202)"},
        {"broken JSON", {}, text(std::string("{")), "", false, "페이지 형식을 알아볼 수 없습니다"},
        {"offline", failing(-106), {}, "", false, "인터넷에 연결되어 있지 않습니다 (오류 -106)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        runFailing(Site::canvas, courseList, c);
        const std::string status = c.login ? "Canvas 로그인이 필요해요" : "Canvas 과목 조회 실패 · 기존 일정 유지";
        EXPECT_EQ(std::tuple(
                      store.canvasStatus(), error("canvas:home"), store.canvasNeedsLogin(), store.canvasStatusReason()),
            std::tuple(status, status, c.login, c.reason));
        store.setCanvasNeedsLogin(false);
    }
    EXPECT_EQ(worker(Site::canvas).evaluations.size(), 30u + 30 + 1) << "thirty tries where the list never comes";
}

TEST_F(CanvasPassTest, CourseFailuresAreCountedWithTheirTextsAndKeepStoredItems)
{
    ASSERT_NO_FATAL_FAILURE(storeThree());
    const std::string list = courseHome("2") + "/assignments canvas-assignments";
    const struct {
        const char* name;
        std::map<std::string, ScriptOutcome> results;
        std::map<std::string, Response> responses;
        std::string text;
    } cases[] = {
        {"due date unreadable", {{list, thrown("Error: DUE_DATE 7")}}, {}, "일부 과제의 마감일 형식을 읽지 못했습니다"},
        {"assignments unavailable", {{list, thrown("UNAVAILABLE")}}, {}, "과제 페이지를 열 수 없습니다"},
        {"other exception", {{list, thrown("TypeError")}}, {}, "페이지 데이터 읽기 오류"},
        {"not the shape", {{list, text(Json{{"x", 1}})}}, {}, "과제 데이터 형식을 확인하지 못했습니다"},
        {"due date of another form", {{list, text(Json{assignment("1", "tomorrow")})}}, {},
            "과제 목록 형식을 확인하지 못했습니다"},
        {"home page never loads", {}, {{courseHome("2"), {{}, Response::End::hang}}}, "서버 응답 시간 초과"},
        {"network", {}, {{courseHome("2") + "/assignments", failing(-101)}},
            "사이트와의 연결이 끊어졌습니다 (오류 -101)"}};
    const Assessment kept = store.db().assessments[1];
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        results = c.results;
        responses = c.responses;
        runPass(Site::canvas);
        EXPECT_EQ(
            std::tuple(error("canvas:2"), store.canvasStatus(), store.canvasStatusReason(), store.db().assessments[1]),
            std::tuple(
                c.text + " · 기존 일정 유지", "Canvas 2개 과목 업데이트 · 1개 확인 필요", "B · " + c.text, kept));
    }
}

TEST_F(CanvasPassTest, ACourseWithoutAnAssignmentsListGetsANoticeNotAFailure)
{
    ASSERT_NO_FATAL_FAILURE(storeThree());
    withoutTab = {courseHome("2")};
    runPass(Site::canvas);
    EXPECT_EQ(std::tuple(store.courseNotices().at("canvas:2"), store.canvasStatus()),
        std::tuple("Canvas에서 과제 목록을 제공하지 않는 과목입니다. 이전 일정은 유지합니다.",
            "Canvas 업데이트 완료 · 1개 과목은 과제 목록 미제공"));
    withoutTab.clear();
    results = {{courseHome("2") + " " + assignmentsTabCheck, notText()}}; // a check that never renders: a list
    runPass(Site::canvas);
    EXPECT_TRUE(!store.courseNotices().contains("canvas:2") && store.canvasStatus() == "Canvas 업데이트 완료");
}

TEST_F(CanvasPassTest, UnreadSubmissionStatesMergeDeadlinesAndKeepCompletions)
{
    ASSERT_NO_FATAL_FAILURE(storeThree());
    assignments["1"] = assignments["2"] = assignments["3"] = {assignment("1", "2025-12-07T07:59:59Z")};
    for (const char* number : {"1", "2"})
        results[courseHome(number) + "/assignments canvas-submissions"] = thrown("denied");
    runPass(Site::canvas);
    EXPECT_EQ(store.canvasStatus(), "Canvas 3개 과목 업데이트 · 2개 확인 필요");
    EXPECT_EQ(error("canvas:1"), "마감은 업데이트했지만 제출 상태를 확인하지 못했습니다. 기존 완료 상태를 유지합니다.");
    EXPECT_EQ(std::tuple(store.db().assessments[0].submitted, secondsSince1970(*store.db().assessments[0].due)),
        std::tuple(true, 1765094399));
}

TEST_F(CanvasPassTest, SignInOnACourseStopsThePassWithTheRelogInText)
{
    courses = {listed("1", "A"), listed("2", "B")};
    responses = {{courseHome("1"), {"https://canvas.test/login/saml"}}};
    runPass(Site::canvas);
    EXPECT_EQ(std::tuple(error("canvas:1"), store.canvasNeedsLogin(), store.canvasStatus(), store.canvasStatusReason()),
        std::tuple("로그인이 필요합니다 · 기존 일정 유지", true, "Canvas 재로그인이 필요해요",
            "사이트가 로그인 페이지로 보냈습니다"));
    EXPECT_EQ(worker(Site::canvas).loads.back(), courseHome("1"));
}

TEST_F(CanvasPassTest, WhateverAStepThrowsThePassEndsWithItsTexts)
{
    courses = {listed("1", "A")};
    assignments["1"] = {assignment("1")};
    bool thrownOnce = false;
    store.observe([&](Store::Field field) {
        if (field == Store::Field::db && !std::exchange(thrownOnce, true))
            throw std::runtime_error("a step that throws");
    });
    runPass(Site::canvas);
    EXPECT_EQ(std::tuple(thrownOnce, store.canvasSyncing(), store.canvasStatus()),
        std::tuple(true, false, "Canvas 동기화 오류 · 기존 일정 유지"));
    runPass(Site::canvas);
    EXPECT_EQ(store.db().assessments.size(), 1u) << "the next pass works";
}

TEST(CanvasItems, ReadsInternetDateTimesOnly)
{
    const std::pair<std::string, std::optional<double>> cases[] = {{"2025-03-01T07:59:59Z", 1740815999},
        {"2025-03-01T07:59:59.500Z", 1740815999.5}, {"2025-03-01T07:59:59." + std::string(330, '0') + "1Z", 1740815999},
        {"2025-02-28T23:59:59-08:00", 1740815999}, {"2025-03-01t07:59:59z", 1740815999},
        {"2025-03-01T07:59Z", std::nullopt}, {"2025-02-30T07:59:59Z", std::nullopt},
        {"2025-03-01 07:59:59Z", std::nullopt}, {"2025-03-01T07:59:59", std::nullopt}, {"tomorrow", std::nullopt}};
    for (const auto& [text, seconds] : cases) {
        const auto read = CanvasItems::readDate(text);
        EXPECT_EQ(read ? std::optional(secondsSince1970(*read)) : std::nullopt, seconds) << text;
    }
}

} // namespace
