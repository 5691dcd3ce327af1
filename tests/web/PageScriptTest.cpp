// The five page scripts in a real Chromium page against the local fixture sites, evaluated the way
// the application evaluates them, their results decoded by the application's own records.

#include "model/Assessment.h"
#include "model/Course.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

using namespace vantory;
using nlohmann::json;

namespace {

constexpr int loadTimeoutMs = 15000;

// What one evaluation gave: a text, a value that is not a text, or the message of a throw.
struct Outcome {
    enum class Kind { text, other, error };
    Kind kind = Kind::other;
    std::string text;
    int attempts = 1;
};

// The fixture server of tests/fixtures/sites.py, one for the whole suite; it stops when its
// stdin closes.
class FixtureSites {
public:
    bool start()
    {
        process_.setProgram(QStringLiteral(VANTORY_PYTHON3));
        process_.setArguments({QStringLiteral(VANTORY_FIXTURE_SITES)});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        if (!QTest::qWaitFor([this] { return process_.canReadLine(); }, 10000))
            return false;
        port_ = QString::fromUtf8(process_.readLine()).trimmed().toInt();
        network_.setProxy(QNetworkProxy::NoProxy);
        return port_ > 0;
    }

    ~FixtureSites()
    {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000))
            process_.kill();
    }

    // Base URLs of the three hosts: "assessment", "canvas" or "signin".
    std::string base(const std::string& host) const
    {
        const std::string name = host == "canvas" ? "localhost" : host == "signin" ? "127.0.0.2" : "127.0.0.1";
        return "http://" + name + ":" + std::to_string(port_);
    }

    // Replaces the sites' data and ends every session.
    bool setScenario(const json& scenario)
    {
        return post("/__control", scenario.dump()) && post("/__control/signout", {});
    }

    // text with every "{base}" and "{canvas}" replaced by the two sites' base URLs.
    std::string expand(std::string text) const
    {
        for (const auto& [token, host] : {std::pair{"{base}", "assessment"}, std::pair{"{canvas}", "canvas"}}) {
            for (std::size_t at; (at = text.find(token)) != std::string::npos;)
                text.replace(at, std::string(token).size(), base(host));
        }
        return text;
    }

private:
    bool post(const std::string& path, const std::string& body)
    {
        QNetworkRequest request(QUrl(QString::fromStdString(base("assessment") + path)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        std::unique_ptr<QNetworkReply> reply(network_.post(request, QByteArray::fromStdString(body)));
        return QTest::qWaitFor([&] { return reply->isFinished(); }, 5000) && reply->error() == QNetworkReply::NoError;
    }

    QProcess process_;
    QNetworkAccessManager network_;
    int port_ = 0;
};

QString script(const char* name)
{
    QFile file(QStringLiteral(":/scripts/%1.js").arg(QString::fromUtf8(name)));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// source as a JavaScript string literal (inside a one-element JSON array).
QString literal(const QString& source)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{source}).toJson(QJsonDocument::Compact)) + QStringLiteral("[0]");
}

Outcome outcomeOf(const QVariant& value)
{
    const QVariantMap map = value.toMap();
    const QString kind = map.value(QStringLiteral("kind")).toString();
    Outcome outcome;
    outcome.kind = kind == QStringLiteral("text") ? Outcome::Kind::text
        : kind == QStringLiteral("error")         ? Outcome::Kind::error
                                                  : Outcome::Kind::other;
    outcome.text = map.value(QStringLiteral("text")).toString().toStdString();
    return outcome;
}

class PageScriptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sites = new FixtureSites;
        sitesStarted = sites->start();
        profile = new QWebEngineProfile; // off the record: no cookie survives the suite
    }

    static void TearDownTestSuite()
    {
        delete profile;
        delete sites;
    }

    void SetUp() override
    {
        ASSERT_TRUE(sitesStarted) << "the fixture server did not start";
        page = std::make_unique<QWebEnginePage>(profile);
    }

    void TearDown() override { page.reset(); }

    bool load(const std::string& url)
    {
        QSignalSpy finished(page.get(), &QWebEnginePage::loadFinished);
        page->load(QUrl(QString::fromStdString(url)));
        return finished.wait(loadTimeoutMs) && finished.first().first().toBool();
    }

    std::string path() const { return page->url().path().toStdString(); }

    QVariant run(const QString& code)
    {
        QVariant result;
        bool done = false;
        page->runJavaScript(code, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        return QTest::qWaitFor([&] { return done; }, 10000) ? result : QVariant();
    }

    // As the application evaluates a script: an indirect eval in the main world, inside a try.
    Outcome evaluate(const QString& source)
    {
        return outcomeOf(run(QStringLiteral("(() => { try { const value = (0, eval)(%1);"
                                            " return typeof value === 'string' ? {kind: 'text', text: value}"
                                            " : {kind: 'other'}; } catch (error) {"
                                            " return {kind: 'error', text: String(error && error.message)}; } })()")
                                 .arg(literal(source))));
    }

    // The Canvas scripts' protocol: evaluated every 0.5 s until the value is a text, 30 times at most.
    Outcome poll(const QString& source)
    {
        Outcome outcome;
        for (int attempt = 1; attempt <= 30; ++attempt) {
            outcome = evaluate(source);
            outcome.attempts = attempt;
            if (outcome.kind != Outcome::Kind::other)
                break;
            QTest::qWait(500);
        }
        return outcome;
    }

    // The body run as an async function called with no arguments; its promise's outcome is kept on
    // the page and read back once settled.
    Outcome callAsync(const QString& body)
    {
        run(QStringLiteral("window.__pageScriptTestCall = null; try {"
                           " (0, eval)('(async function () {\\n' + %1 + '\\n})')().then("
                           " (value) => { window.__pageScriptTestCall = typeof value === 'string'"
                           " ? {kind: 'text', text: value} : {kind: 'other'}; },"
                           " (error) => { window.__pageScriptTestCall = {kind: 'error', text: String(error && "
                           "error.message)}; }); } catch (error) {"
                           " window.__pageScriptTestCall = {kind: 'error', text: String(error.message)}; }")
                .arg(literal(body)));
        QVariant settled;
        const bool done = QTest::qWaitFor(
            [&] {
                settled = run(QStringLiteral("window.__pageScriptTestCall"));
                return settled.isValid() && !settled.isNull();
            },
            10000);
        return done ? outcomeOf(settled) : Outcome{Outcome::Kind::error, "the call never settled"};
    }

    // A text result decoded as the application decodes it, and as plain JSON for exact comparison.
    template <typename Record> json decoded(const Outcome& outcome)
    {
        EXPECT_EQ(outcome.kind, Outcome::Kind::text) << outcome.text;
        EXPECT_NO_THROW((void)json::parse(outcome.text).get<Record>()) << outcome.text;
        return json::parse(outcome.text, nullptr, false);
    }

    json expected(const char* text) const { return json::parse(sites->expand(text)); }

    static inline FixtureSites* sites = nullptr;
    static inline bool sitesStarted = false;
    static inline QWebEngineProfile* profile = nullptr;
    std::unique_ptr<QWebEnginePage> page;
};

const int thisYear = QDate::currentDate().year();

// ---- assessment site: home page ----

TEST_F(PageScriptTest, HomeListsCoursesWithCompactNamesAndSkipsInvitations)
{
    ASSERT_TRUE(sites->setScenario(json::parse(R"json({"assessment": {
        "heading": "Courses with student access",
        "invitations": ["CS 999: Invited Course, 2025W1"],
        "courses": [
            {"id": "1", "text": "CS 313: Systems Programming, 2025W1"},
            {"id": "7", "text": "MATH 101: Calculus: Limits, Series, Fall 2024"},
            {"id": "8", "text": "PHYS 101: Physics, Sp15"},
            {"id": "9", "text": "Orientation: Welcome Week, Spring 2025"}]}})json")));
    ASSERT_TRUE(load(sites->base("assessment") + "/"));

    const json courses = decoded<std::vector<DiscoveredCourse>>(evaluate(script("courses")));

    json want = json::parse(R"json([
        {"id": "1", "name": "313", "fullName": "Systems Programming", "year": 2025},
        {"id": "7", "name": "MATH 101", "fullName": "Calculus: Limits, Series", "year": 2024},
        {"id": "8", "name": "PHYS 101", "fullName": "Physics", "year": 0},
        {"id": "9", "name": "Orientation", "fullName": "Welcome Week", "year": 2025}])json");
    want[2]["year"] = thisYear;
    EXPECT_EQ(courses, want);
}

TEST_F(PageScriptTest, HomeWithoutCoursesIsEmptyOnlyWhenThePageSaysSo)
{
    const std::pair<const char*, Outcome::Kind> cases[] = {
        {"No courses found.", Outcome::Kind::text},
        {"Something went wrong", Outcome::Kind::other}, // unknown page: the list is unknown, not empty
    };
    for (const auto& [emptyText, kind] : cases) {
        ASSERT_TRUE(sites->setScenario({{"assessment", {{"emptyText", emptyText}}}}));
        ASSERT_TRUE(load(sites->base("assessment") + "/"));
        const Outcome outcome = evaluate(script("courses"));
        EXPECT_EQ(outcome.kind, kind) << emptyText;
        if (kind == Outcome::Kind::text) {
            EXPECT_EQ(outcome.text, "[]");
        }
    }
}

// ---- assessment site: a course's assessments ----

const char* const assessmentCourse = R"json({"assessment": {"courses": [
    {"id": "1", "heading": "CS 313, 2025W1", "extraColumn": true, "groups": [
        {"heading": "Homeworks", "rows": [
            {"code": "HW1", "title": "Pointers and Memory", "aid": "11",
             "available": "100% until 23:59, Fri, Sep 12", "score": "85%", "rules": [
                {"credit": "100%", "start": "2025-09-08 14:00:00-07 (PDT)", "end": "2025-09-12 23:59:00-07 (PDT)"},
                {"credit": "50%", "start": "2025-09-12 23:59:01 (PDT)", "end": "2025-09-19 23:59:00 (PDT)"},
                {"credit": "None", "start": "2025-09-20 06:29:01+05:30 (IST)", "end": "—"}]},
            {"code": "HW2", "title": "Linked Lists", "link": "instance", "aid": "204",
             "available": "120% until 23:59, Fri, Sep 19", "score": "30%",
             "rules": [{"credit": "120%", "start": "2025-09-15 00:00:01 (PDT)", "end": "2025-09-19 23:59:00 (PDT)"}]},
            {"code": "HW3", "title": "Trees", "link": "muted", "availableMuted": true,
             "available": "Available 14:00, Mon, Sep 8", "score": "Not started",
             "rules": [{"credit": "100", "start": "2025-09-08 14:00:00 (PDT)", "end": "2025-09-26 23:59:00 (PDT)"}]},
            {"code": "HW4", "title": "Graphs", "link": "none", "availableMuted": true,
             "available": "Not yet available", "score": "Score not shown"}]},
        {"heading": "Exams", "rows": [
            {"code": "E1", "title": "Midterm", "link": "none", "available": "100% until 18:00, Wed, Oct 15",
             "score": "New instance",
             "rules": [{"credit": "100%", "start": "2025-10-15 16:00:00-07 (PDT)", "end": "2025-10-15 18:00:00-07 (PDT)"}]},
            {"code": "E1#1", "title": "Midterm", "link": "instance", "aid": "301", "available": "Assessment closed.",
             "score": "72.5%"},
            {"code": "E1#2", "title": "Midterm", "link": "instance", "aid": "302", "available": "", "omitScore": true}]}]},
    {"id": "2", "heading": "CS 110, 2025W1", "groups": [{"heading": "Quizzes", "rows": [
        {"code": "Q1", "title": "Quiz 1", "aid": "q1", "available": "100%", "score": "100%"}]}]},
    {"id": "3", "heading": "CS 210, 2025W1", "groups": []},
    {"id": "4", "heading": "CS 221, 2025W1", "showsCourse": "2"}]}})json";

TEST_F(PageScriptTest, ExtractReadsEveryFormOfRow)
{
    ASSERT_TRUE(sites->setScenario(json::parse(assessmentCourse)));
    ASSERT_TRUE(load(sites->base("assessment") + "/pl/course_instance/1"));
    ASSERT_EQ(path(), "/pl/course_instance/1/assessments");

    const json payload = decoded<PagePayload>(evaluate(script("extract")));

    EXPECT_EQ(payload, expected(R"json({"courseID": "1", "courseHeading": "CS 313, 2025W1", "rows": [
        {"code": "HW1", "title": "Pointers and Memory", "category": "Homeworks",
         "availability": "100% until 23:59, Fri, Sep 12", "score": "85%",
         "url": "{base}/pl/course_instance/1/assessment/11/", "rules": [
            {"credit": 100, "start": "2025-09-08 14:00:00 (PDT)", "end": "2025-09-12 23:59:00 (PDT)"},
            {"credit": 50, "start": "2025-09-12 23:59:01 (PDT)", "end": "2025-09-19 23:59:00 (PDT)"},
            {"credit": 0, "start": "2025-09-20 06:29:01 (IST)", "end": "—"}]},
        {"code": "HW2", "title": "Linked Lists", "category": "Homeworks",
         "availability": "120% until 23:59, Fri, Sep 19", "score": "30%",
         "url": "{base}/pl/course_instance/1/assessment_instance/204/",
         "rules": [{"credit": 120, "start": "2025-09-15 00:00:01 (PDT)", "end": "2025-09-19 23:59:00 (PDT)"}]},
        {"code": "HW3", "title": "Trees", "category": "Homeworks", "availability": "Available 14:00, Mon, Sep 8",
         "score": "Not started",
         "rules": [{"credit": 100, "start": "2025-09-08 14:00:00 (PDT)", "end": "2025-09-26 23:59:00 (PDT)"}]},
        {"code": "HW4", "title": "Graphs", "category": "Homeworks", "availability": "Not yet available",
         "score": "Score not shown", "rules": []},
        {"code": "E1", "title": "Midterm", "category": "Exams", "availability": "100% until 18:00, Wed, Oct 15",
         "score": "New instance",
         "rules": [{"credit": 100, "start": "2025-10-15 16:00:00 (PDT)", "end": "2025-10-15 18:00:00 (PDT)"}]},
        {"code": "E1#1", "title": "Midterm", "category": "Exams", "availability": "Assessment closed.",
         "score": "72.5%", "url": "{base}/pl/course_instance/1/assessment_instance/301/", "rules": []},
        {"code": "E1#2", "title": "Midterm", "category": "Exams", "availability": "", "score": "",
         "url": "{base}/pl/course_instance/1/assessment_instance/302/", "rules": []}]})json"));
}

TEST_F(PageScriptTest, ExtractNamesTheCourseThePageShowsAndNothingOnOtherPages)
{
    ASSERT_TRUE(sites->setScenario(json::parse(assessmentCourse)));
    struct Case {
        const char* path;
        const char* payload; // nullptr: not a text
    };
    const Case cases[] = {
        {"/pl/course_instance/3/assessments",
            R"json({"courseID": "3", "courseHeading": "CS 210, 2025W1", "rows": []})json"},
        // Course 4's address showing course 2's page: the rows' links tell.
        {"/pl/course_instance/4/assessments", R"json({"courseID": "2", "courseHeading": "CS 110, 2025W1", "rows": [
            {"code": "Q1", "title": "Quiz 1", "category": "Quizzes", "availability": "100%", "score": "100%",
             "url": "{base}/pl/course_instance/2/assessment/q1/", "rules": []}]})json"},
        {"/", nullptr},
    };
    for (const Case& test : cases) {
        ASSERT_TRUE(load(sites->base("assessment") + test.path)) << test.path;
        const Outcome outcome = evaluate(script("extract"));
        if (test.payload) {
            EXPECT_EQ(decoded<PagePayload>(outcome), expected(test.payload)) << test.path;
        } else {
            EXPECT_EQ(outcome.kind, Outcome::Kind::other) << test.path << ": " << outcome.text;
        }
    }
}

// ---- Canvas: course list ----

TEST_F(PageScriptTest, CanvasCoursesReadsEveryPageOfTheList)
{
    ASSERT_TRUE(sites->setScenario(json::parse(R"json({"canvas": {"pageSize": 2, "whilePrefix": true, "courses": [
        {"id": 101, "name": "Systems Programming", "course_code": "CPSC 313 101 2025W1", "term": "2025W1"},
        {"id": 102, "name": "Calculus I", "course_code": "MATH 101", "term": "Fall 2024"},
        {"id": 103, "name": "Physics", "course_code": "PHYS 101", "term": null},
        {"id": 104, "name": " Academic  Integrity ", "course_code": "", "term": "2025S"},
        {"id": 105, "name": "Old course", "course_code": "CPSC 110", "active": false}]}})json")));
    ASSERT_TRUE(load(sites->base("canvas") + "/courses"));

    const json courses = decoded<std::vector<DiscoveredCourse>>(poll(script("canvas-courses")));

    json want = json::parse(R"json([
        {"id": "canvas:101", "name": "313", "fullName": "Systems Programming", "year": 2025},
        {"id": "canvas:102", "name": "MATH 101", "fullName": "Calculus I", "year": 2024},
        {"id": "canvas:103", "name": "PHYS 101", "fullName": "Physics", "year": 0},
        {"id": "canvas:104", "name": "Academic Integrity", "fullName": "Academic Integrity", "year": 2025}])json");
    want[2]["year"] = thisYear;
    EXPECT_EQ(courses, want);
}

TEST_F(PageScriptTest, CanvasCoursesWaitsForALateListThenStartsAfresh)
{
    ASSERT_TRUE(sites->setScenario(json::parse(R"json({"canvas": {"coursesDelay": 2, "courses": [
        {"id": 5, "name": "Databases", "course_code": "CPSC 304", "term": "2025W1"}]}})json")));
    ASSERT_TRUE(load(sites->base("canvas") + "/courses"));

    const Outcome late = poll(script("canvas-courses"));
    EXPECT_GE(late.attempts, 4);
    EXPECT_EQ(decoded<std::vector<DiscoveredCourse>>(late),
        json::parse(R"json([{"id": "canvas:5", "name": "304", "fullName": "Databases", "year": 2025}])json"));

    // A delivered result is not handed out again: the next evaluation starts a new read.
    EXPECT_EQ(evaluate(script("canvas-courses")).kind, Outcome::Kind::other);
}

TEST_F(PageScriptTest, CanvasCoursesSignedOutThrows)
{
    ASSERT_TRUE(
        sites->setScenario(json::parse(R"json({"canvas": {"requireSignIn": true, "courses": [{"id": 5}]}})json")));
    ASSERT_TRUE(load(sites->base("canvas") + "/courses"));
    ASSERT_EQ(path(), "/login/canvas");

    const Outcome outcome = poll(script("canvas-courses"));
    EXPECT_EQ(outcome.kind, Outcome::Kind::error);
    EXPECT_NE(outcome.text.find("401"), std::string::npos) << outcome.text;
}

// ---- Canvas: assignments and submissions ----

json canvasCourse(const json& changes = json::object())
{
    json course = json::parse(R"json({"id": 101, "name": "Systems Programming", "course_code": "CPSC 313",
        "groups": [{"id": 1, "name": "Labs"}, {"id": 2, "name": "Quizzes"}],
        "assignments": [
            {"id": 11, "name": "Lab 1", "assignment_group_id": 1, "due_at": "2025-09-12T06:59:00Z",
             "unlock_at": "2025-09-01T07:00:00Z",
             "submission": {"workflow_state": "submitted", "submitted_at": "2025-09-10T01:00:00Z"}},
            {"id": 12, "name": "Lab 2", "assignment_group_id": 1, "due_at": "2025-09-19T06:59:59.000Z",
             "submission": {"workflow_state": "unsubmitted", "submitted_at": null}},
            {"id": 13, "name": "Quiz 1", "assignment_group_id": 2, "due_at": "2025-09-20T23:59:00-07:00",
             "unlock_at": "soon", "submission": {"workflow_state": "graded", "submitted_at": null}},
            {"id": 14, "name": " Reading ", "assignment_group_id": 99,
             "submission": {"workflow_state": "pending_review", "submitted_at": null}},
            {"id": 15, "name": "Lab 3", "assignment_group_id": 1,
             "submission": {"workflow_state": "unsubmitted", "submitted_at": "2025-09-21T00:00:00Z"}}]})json");
    course.update(changes);
    return {{"canvas", {{"pageSize", 2}, {"whilePrefix", true}, {"courses", {course}}}}};
}

TEST_F(PageScriptTest, CanvasAssignmentsReadsEveryPageWithGroupsAndDates)
{
    ASSERT_TRUE(sites->setScenario(canvasCourse()));
    ASSERT_TRUE(load(sites->base("canvas") + "/courses/101/assignments"));

    const json assignments = decoded<std::vector<CanvasAssignment>>(poll(script("canvas-assignments")));

    EXPECT_EQ(assignments, expected(R"json([
        {"id": "11", "title": "Lab 1", "category": "Labs", "due": "2025-09-12T06:59:00Z",
         "release": "2025-09-01T07:00:00Z", "url": "{canvas}/courses/101/assignments/11"},
        {"id": "12", "title": "Lab 2", "category": "Labs", "due": "2025-09-19T06:59:59.000Z",
         "url": "{canvas}/courses/101/assignments/12"},
        {"id": "13", "title": "Quiz 1", "category": "Quizzes", "due": "2025-09-20T23:59:00-07:00",
         "url": "{canvas}/courses/101/assignments/13"},
        {"id": "14", "title": "Reading", "category": "Assignments", "url": "{canvas}/courses/101/assignments/14"},
        {"id": "15", "title": "Lab 3", "category": "Labs", "url": "{canvas}/courses/101/assignments/15"}])json"));
}

TEST_F(PageScriptTest, CanvasAssignmentsNamesWhatWentWrong)
{
    struct Case {
        const char* name;
        json changes;
        const char* message; // the part of the thrown message the application looks for
    };
    const Case cases[] = {
        {"word as due date", {{"assignments", {{{"id", 21}, {"name", "X"}, {"due_at", "tomorrow"}}}}}, "DUE_DATE"},
        {"impossible due date", {{"assignments", {{{"id", 21}, {"due_at", "2025-02-30T12:00:00Z"}}}}}, "DUE_DATE"},
        {"number as due date", {{"assignments", {{{"id", 21}, {"due_at", 1757660340}}}}}, "DUE_DATE"},
        {"401", {{"assignmentsError", 401}}, "UNAVAILABLE"},
        {"403", {{"assignmentsError", 403}}, "UNAVAILABLE"},
        {"404", {{"assignmentsError", 404}}, "UNAVAILABLE"},
        {"HTML answer", {{"assignmentsError", "html"}}, "UNAVAILABLE"},
        {"no assignments tab", {{"assignmentsTab", false}}, "UNAVAILABLE"},
        {"server error", {{"assignmentsError", 500}}, "HTTP 500"},
    };
    for (const Case& test : cases) {
        ASSERT_TRUE(sites->setScenario(canvasCourse(test.changes)));
        ASSERT_TRUE(load(sites->base("canvas") + "/courses/101/assignments")) << test.name;
        const Outcome outcome = poll(script("canvas-assignments"));
        EXPECT_EQ(outcome.kind, Outcome::Kind::error) << test.name;
        EXPECT_NE(outcome.text.find(test.message), std::string::npos) << test.name << ": " << outcome.text;
        if (std::string(test.message) == "HTTP 500") {
            EXPECT_EQ(outcome.text.find("UNAVAILABLE"), std::string::npos) << outcome.text;
            // The error was delivered once; the same page reads afresh when asked again.
            ASSERT_TRUE(sites->setScenario(canvasCourse()));
            EXPECT_EQ(poll(script("canvas-assignments")).kind, Outcome::Kind::text);
        }
    }
}

TEST_F(PageScriptTest, CanvasSubmissionsAfterTheAssignmentsAndOnTheirOwn)
{
    const json want = json::parse(R"json({"11": true, "12": false, "13": true, "14": true, "15": true})json");
    for (const bool afterAssignments : {true, false}) {
        ASSERT_TRUE(sites->setScenario(canvasCourse()));
        ASSERT_TRUE(load(sites->base("canvas") + "/courses/101/assignments"));
        if (afterAssignments) {
            ASSERT_EQ(poll(script("canvas-assignments")).kind, Outcome::Kind::text);
        }
        const Outcome outcome = callAsync(script("canvas-submissions"));
        ASSERT_EQ(outcome.kind, Outcome::Kind::text) << outcome.text;
        EXPECT_EQ(json::parse(outcome.text), want) << "after the assignments: " << afterAssignments;
    }
}

TEST_F(PageScriptTest, CanvasSubmissionsFailWithoutSubmissionStates)
{
    ASSERT_TRUE(sites->setScenario(canvasCourse({{"submissionsMissing", true}})));
    ASSERT_TRUE(load(sites->base("canvas") + "/courses/101/assignments"));
    ASSERT_EQ(poll(script("canvas-assignments")).kind, Outcome::Kind::text);

    EXPECT_EQ(callAsync(script("canvas-submissions")).kind, Outcome::Kind::error);
}

// ---- the fixture's sign-in, which the end-to-end tests rely on ----

TEST_F(PageScriptTest, SigningInThroughTheSignInHostKeepsAPersistentCookie)
{
    ASSERT_TRUE(sites->setScenario(json::parse(R"json({"assessment": {"requireSignIn": true,
        "courses": [{"id": "1", "text": "CS 313: Systems Programming, 2025W1"}]}})json")));
    ASSERT_TRUE(load(sites->base("assessment") + "/pl/course_instance/1/assessments"));
    ASSERT_EQ(path(), "/pl/login");
    EXPECT_EQ(evaluate(script("courses")).kind, Outcome::Kind::other);

    QList<QNetworkCookie> cookies;
    QObject::connect(profile->cookieStore(), &QWebEngineCookieStore::cookieAdded, page.get(),
        [&](const QNetworkCookie& cookie) { cookies.append(cookie); });
    ASSERT_TRUE(load(sites->base("signin") + "/idp/login?site=assessment"));
    QSignalSpy finished(page.get(), &QWebEnginePage::loadFinished);
    run(QStringLiteral("document.querySelector('input[name=username]').value = 'jane';"
                       " document.querySelector('form').submit();"));
    ASSERT_TRUE(finished.wait(loadTimeoutMs));
    EXPECT_EQ(page->url().toString().toStdString(), sites->base("assessment") + "/");

    EXPECT_EQ(decoded<std::vector<DiscoveredCourse>>(evaluate(script("courses"))),
        json::parse(R"json([{"id": "1", "name": "313", "fullName": "Systems Programming", "year": 2025}])json"));
    ASSERT_EQ(cookies.size(), 1);
    EXPECT_EQ(cookies.first().name(), QByteArrayLiteral("pl_authn"));
    EXPECT_FALSE(cookies.first().isSessionCookie());
    EXPECT_EQ(cookies.first().domain(), QStringLiteral("127.0.0.1"));
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// Chromium's browser side runs in this process; its own code frees some objects through a base
// type of another size, which AddressSanitizer's operator delete would abort on. Our code is still
// checked for everything else.
extern "C" const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#endif

// GoogleTest inside a QApplication, offscreen and without Chromium's sandbox (it refuses to run as
// root otherwise) unless the environment says differently.
int main(int argc, char** argv)
{
    const std::pair<const char*, const char*> defaults[] = {
        {"QT_QPA_PLATFORM", "offscreen"},
        {"QTWEBENGINE_DISABLE_SANDBOX", "1"},
        {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu"},
    };
    for (const auto& [name, value] : defaults) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, value);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
