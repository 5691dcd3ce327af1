// SPDX-License-Identifier: GPL-3.0-or-later
// The five page scripts in the real worker against the fixture sites, evaluated as the passes evaluate them and
// decoded by the application's own records: the page variants and failure signals the end-to-end passes do not reach.

#include "app/QtScheduler.h"
#include "connection/PageScripts.h"
#include "connection/RemoteWebHost.h"
#include "model/Assessment.h"
#include "model/Course.h"

#include "WebFixture.h"
#include "support/RecordJson.h"
#include "support/TemporaryFolder.h"

#include <QDate>

#include <regex>

using namespace vantory;
using namespace vantory::test;
using nlohmann::json;

namespace {

const auto isText
    = [](const ScriptOutcome& o) { return o.index() == 0 && std::get<0>(o).kind == ScriptValue::Kind::text; };

class PageScriptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sites = new TestServer(VANTORY_TESTS "/fixtures/sites.py"); }
    static void TearDownTestSuite() { delete sites; }

    void open(const json& scenario, const std::string& path, bool canvas = false)
    {
        ASSERT_TRUE(sites->setScenario(scenario)) << "the fixture server did not start";
        ASSERT_EQ(watch.load(sites->base(canvas ? "localhost" : "127.0.0.1") + path), Ending::finished) << path;
    }

    // The Canvas scripts' protocol: evaluated every 0.5 s until the value is a text, 30 times at most.
    ScriptOutcome poll(const std::string& script)
    {
        ScriptOutcome outcome;
        for (int attempt = 1; attempt <= 30 && !isText(outcome = watch.run(script)) && outcome.index() == 0; ++attempt)
            QTest::qWait(500);
        return outcome;
    }

    template <typename Record> json decoded(const ScriptOutcome& outcome)
    {
        const std::string text = isText(outcome) ? std::get<0>(outcome).text : "not a text: " + thrown(outcome);
        EXPECT_NO_THROW((void)json::parse(text).get<Record>()) << text;
        return json::parse(text, nullptr, false);
    }

    json expected(std::string text) const
    {
        text = std::regex_replace(text, std::regex("\\{base\\}"), sites->base());
        text = std::regex_replace(text, std::regex("\\{canvas\\}"), sites->base("localhost"));
        return json::parse(
            std::regex_replace(text, std::regex("\\{year\\}"), std::to_string(QDate::currentDate().year())));
    }

    static inline TestServer* sites = nullptr;
    const PageScripts scripts = PageScripts::fromResources();
    QtScheduler scheduler;
    TemporaryFolder folder;
    RemoteWebHost host{scheduler, QString::fromStdString((folder / "web").string()), {.forwardErrors = true}};
    PageWatch watch{host.workerPage(Site::assessment)};
};

// The home page's variants, and every form of row on a course's assessments page.
const char* const assessmentSite = R"json({"assessment": {"heading": "Courses with student access",
    "invitations": ["CS 999: Invited Course, 2025W1"], "courses": [
    {"id": "1", "text": "CS 313: Systems Programming, 2025W1", "heading": "CS 313, 2025W1", "extraColumn": true,
     "groups": [{"heading": "Homeworks", "rows": [
        {"code": "HW1", "title": "Pointers and Memory", "aid": "11", "available": "100% until Sep 12", "score": "85%",
         "rules": [{"credit": "100%", "start": "2025-09-08 14:00:00-07 (PDT)", "end": "2025-09-12 23:59:00-07 (PDT)"},
            {"credit": "None", "start": "2025-09-20 06:29:01+05:30 (IST)", "end": "—"}]},
        {"code": "HW2", "title": "Linked Lists", "link": "instance", "aid": "204", "available": "120%", "score": "30%",
         "rules": [{"credit": "120%", "start": "2025-09-15 00:00:01 (PDT)", "end": "2025-09-19 23:59:00 (PDT)"}]},
        {"code": "HW3", "title": "Trees", "link": "muted", "availableMuted": true, "available": "Available Sep 8",
         "score": "Not started", "rules": [{"credit": "100", "start": "2025-09-08 14:00:00 (PDT)", "end": "—"}]},
        {"code": "HW4", "title": "Graphs", "link": "none", "availableMuted": true, "available": "Not yet available",
         "score": "Score not shown"}]},
      {"heading": "Exams", "rows": [
        {"code": "E1", "title": "Midterm", "link": "none", "available": "100% until Oct 15", "score": "New instance"},
        {"code": "E1#1", "title": "Midterm", "link": "instance", "aid": "301", "available": "Closed", "score": "72.5%"},
        {"code": "E1#2", "title": "Midterm", "link": "instance", "aid": "302", "available": "", "omitScore": true}]}]},
    {"id": "2", "text": "MATH 101: Calculus: Limits, Series, Fall 2024", "heading": "MATH 101, 2024W1",
     "groups": [{"heading": "Quizzes", "rows": [{"code": "Q1", "title": "Quiz 1", "aid": "q1", "score": "1%"}]}]},
    {"id": "3", "text": "PHYS 101: Physics, Sp15", "heading": "PHYS 101, Sp15", "groups": []},
    {"id": "4", "text": "Orientation: Welcome Week, Spring 2025", "showsCourse": "2"}]}})json";

TEST_F(PageScriptTest, HomeListsCoursesWithCompactNamesAndSkipsInvitations)
{
    open(json::parse(assessmentSite), "/");
    EXPECT_EQ(decoded<std::vector<DiscoveredCourse>>(watch.run(scripts.courses)), expected(R"json([
        {"id": "1", "name": "313", "fullName": "Systems Programming", "year": 2025},
        {"id": "2", "name": "MATH 101", "fullName": "Calculus: Limits, Series", "year": 2024},
        {"id": "3", "name": "PHYS 101", "fullName": "Physics", "year": {year}},
        {"id": "4", "name": "Orientation", "fullName": "Welcome Week", "year": 2025}])json"));
    EXPECT_EQ(watch.run(scripts.extract), ScriptOutcome{}) << "no course page";

    // Without courses the list is empty only when the page says so; an unknown page is no list.
    for (const auto& [emptyText, result] : {std::pair{"No courses found.", "[]"}, {"Something went wrong", ""}}) {
        open({{"assessment", {{"emptyText", emptyText}}}}, "/");
        EXPECT_EQ(watch.run(scripts.courses), *result ? text(result) : ScriptOutcome{}) << emptyText;
    }
}

TEST_F(PageScriptTest, ExtractReadsEveryFormOfRow)
{
    open(json::parse(assessmentSite), "/pl/course_instance/1");
    ASSERT_EQ(watch.page.url(), sites->base() + "/pl/course_instance/1/assessments");
    EXPECT_EQ(decoded<PagePayload>(watch.run(scripts.extract)), expected(R"json({"courseID": "1",
        "courseHeading": "CS 313, 2025W1", "rows": [
        {"code": "HW1", "title": "Pointers and Memory", "category": "Homeworks", "availability": "100% until Sep 12",
         "score": "85%", "url": "{base}/pl/course_instance/1/assessment/11/", "rules": [
            {"credit": 100, "start": "2025-09-08 14:00:00 (PDT)", "end": "2025-09-12 23:59:00 (PDT)"},
            {"credit": 0, "start": "2025-09-20 06:29:01 (IST)", "end": "—"}]},
        {"code": "HW2", "title": "Linked Lists", "category": "Homeworks", "availability": "120%", "score": "30%",
         "url": "{base}/pl/course_instance/1/assessment_instance/204/",
         "rules": [{"credit": 120, "start": "2025-09-15 00:00:01 (PDT)", "end": "2025-09-19 23:59:00 (PDT)"}]},
        {"code": "HW3", "title": "Trees", "category": "Homeworks", "availability": "Available Sep 8",
         "score": "Not started", "rules": [{"credit": 100, "start": "2025-09-08 14:00:00 (PDT)", "end": "—"}]},
        {"code": "HW4", "title": "Graphs", "category": "Homeworks", "availability": "Not yet available",
         "score": "Score not shown", "rules": []},
        {"code": "E1", "title": "Midterm", "category": "Exams", "availability": "100% until Oct 15",
         "score": "New instance", "rules": []},
        {"code": "E1#1", "title": "Midterm", "category": "Exams", "availability": "Closed", "score": "72.5%",
         "url": "{base}/pl/course_instance/1/assessment_instance/301/", "rules": []},
        {"code": "E1#2", "title": "Midterm", "category": "Exams", "availability": "", "score": "",
         "url": "{base}/pl/course_instance/1/assessment_instance/302/", "rules": []}]})json"));

    // The course the page shows, whatever the address says (its rows' links tell).
    const std::pair<const char*, const char*> cases[]
        = {{"3", R"json({"courseID": "3", "courseHeading": "PHYS 101, Sp15", "rows": []})json"},
            {"4", R"json({"courseID": "2", "courseHeading": "MATH 101, 2024W1", "rows": [{"code": "Q1",
            "title": "Quiz 1", "category": "Quizzes", "availability": "", "score": "1%",
            "url": "{base}/pl/course_instance/2/assessment/q1/", "rules": []}]})json"}};
    for (const auto& [course, payload] : cases) {
        open(json::parse(assessmentSite), "/pl/course_instance/" + std::string(course) + "/assessments");
        EXPECT_EQ(decoded<PagePayload>(watch.run(scripts.extract)), expected(payload)) << course;
    }
}

// Canvas with a late, paged course list; course 101's assignments hold every form of their fields.
json canvasSite(const json& changes = json::object())
{
    json site = json::parse(R"json({"canvas": {"pageSize": 2, "whilePrefix": true, "coursesDelay": 2, "courses": [
        {"id": 101, "name": "Systems Programming", "course_code": "CPSC 313 101 2025W1", "term": "2025W1",
         "groups": [{"id": 1, "name": "Labs"}, {"id": 2, "name": "Quizzes"}], "assignments": [
            {"id": 11, "name": "Lab 1", "assignment_group_id": 1, "due_at": "2025-09-12T06:59:00Z",
             "unlock_at": "2025-09-01T07:00:00Z", "submission": {"workflow_state": "submitted"}},
            {"id": 12, "name": "Lab 2", "assignment_group_id": 1, "due_at": "2025-09-19T06:59:59.000Z",
             "submission": {"workflow_state": "unsubmitted", "submitted_at": null}},
            {"id": 13, "name": "Quiz 1", "assignment_group_id": 2, "due_at": "2025-09-20T23:59:00-07:00",
             "unlock_at": "soon", "submission": {"workflow_state": "graded"}},
            {"id": 14, "name": " Reading ", "assignment_group_id": 99,
             "submission": {"workflow_state": "pending_review"}},
            {"id": 15, "name": "Lab 3", "assignment_group_id": 1,
             "submission": {"workflow_state": "unsubmitted", "submitted_at": "2025-09-21T00:00:00Z"}}]},
        {"id": 102, "name": "Calculus I", "course_code": "MATH 101", "term": "Fall 2024"},
        {"id": 103, "name": "Physics", "course_code": "PHYS 101", "term": null},
        {"id": 104, "name": " Academic  Integrity ", "course_code": "", "term": "2025S"},
        {"id": 105, "name": "Old course", "course_code": "CPSC 110", "active": false}]}})json");
    site["canvas"]["courses"][0].update(changes);
    return site;
}

TEST_F(PageScriptTest, CanvasCoursesWaitsForALateListAndReadsEveryPageOfIt)
{
    open(canvasSite(), "/courses", true);
    EXPECT_EQ(decoded<std::vector<DiscoveredCourse>>(poll(scripts.canvasCourses)), expected(R"json([
        {"id": "canvas:101", "name": "313", "fullName": "Systems Programming", "year": 2025},
        {"id": "canvas:102", "name": "MATH 101", "fullName": "Calculus I", "year": 2024},
        {"id": "canvas:103", "name": "PHYS 101", "fullName": "Physics", "year": {year}},
        {"id": "canvas:104", "name": "Academic Integrity", "fullName": "Academic Integrity", "year": 2025}])json"));
    open({{"canvas", {{"requireSignIn", true}}}}, "/courses", true);
    ASSERT_EQ(watch.page.url(), sites->base("localhost") + "/login/canvas");
    EXPECT_NE(thrown(poll(scripts.canvasCourses)).find("401"), std::string::npos) << "signed out";
}

// The submissions script on its own and after the assignments' (reusing their list).
TEST_F(PageScriptTest, CanvasAssignmentsReadEveryPageWithGroupsAndDatesAndTheSubmissionsFollow)
{
    using Submissions = std::map<std::string, bool>;
    const json submitted = json::parse(R"json({"11": true, "12": false, "13": true, "14": true, "15": true})json");
    open(canvasSite(), "/courses/101/assignments", true);
    EXPECT_EQ(decoded<Submissions>(watch.run(scripts.canvasSubmissions, true)), submitted) << "alone";
    EXPECT_EQ(decoded<std::vector<CanvasAssignment>>(poll(scripts.canvasAssignments)), expected(R"json([
        {"id": "11", "title": "Lab 1", "category": "Labs", "due": "2025-09-12T06:59:00Z",
         "release": "2025-09-01T07:00:00Z", "url": "{canvas}/courses/101/assignments/11"},
        {"id": "12", "title": "Lab 2", "category": "Labs", "due": "2025-09-19T06:59:59.000Z", "url": "{canvas}/courses/101/assignments/12"},
        {"id": "13", "title": "Quiz 1", "category": "Quizzes", "due": "2025-09-20T23:59:00-07:00", "url": "{canvas}/courses/101/assignments/13"},
        {"id": "14", "title": "Reading", "category": "Assignments", "url": "{canvas}/courses/101/assignments/14"},
        {"id": "15", "title": "Lab 3", "category": "Labs", "url": "{canvas}/courses/101/assignments/15"}])json"));
    EXPECT_EQ(decoded<Submissions>(watch.run(scripts.canvasSubmissions, true)), submitted) << "after the assignments";
    open(canvasSite({{"submissionsMissing", true}}), "/courses/101/assignments", true);
    ASSERT_TRUE(isText(poll(scripts.canvasAssignments)));
    EXPECT_EQ(watch.run(scripts.canvasSubmissions, true).index(), 1u);
}

TEST_F(PageScriptTest, CanvasAssignmentsNamesWhatWentWrong)
{
    const std::tuple<const char*, json, const char*> cases[] = {// what, scenario, part of the thrown message
        {"word as due date", {{"assignments", {{{"id", 21}, {"name", "X"}, {"due_at", "tomorrow"}}}}}, "DUE_DATE"},
        {"impossible due date", {{"assignments", {{{"id", 21}, {"due_at", "2025-02-30T12:00:00Z"}}}}}, "DUE_DATE"},
        {"number as due date", {{"assignments", {{{"id", 21}, {"due_at", 1757660340}}}}}, "DUE_DATE"},
        {"401", {{"assignmentsError", 401}}, "UNAVAILABLE"}, {"403", {{"assignmentsError", 403}}, "UNAVAILABLE"},
        {"404", {{"assignmentsError", 404}}, "UNAVAILABLE"},
        {"HTML answer", {{"assignmentsError", "html"}}, "UNAVAILABLE"},
        {"no assignments tab", {{"assignmentsTab", false}}, "UNAVAILABLE"},
        {"server error", {{"assignmentsError", 500}}, "HTTP 500"}};
    std::string message;
    for (const auto& [what, changes, part] : cases) {
        open(canvasSite(changes), "/courses/101/assignments", true);
        message = thrown(poll(scripts.canvasAssignments));
        EXPECT_NE(message.find(part), std::string::npos) << what << ": " << message;
    }
    EXPECT_EQ(message.find("UNAVAILABLE"), std::string::npos) << "a server error is no missing list";
    // The error was delivered once; the same page reads afresh when asked again.
    ASSERT_TRUE(sites->setScenario(canvasSite()));
    EXPECT_TRUE(isText(poll(scripts.canvasAssignments)));
}

} // namespace
