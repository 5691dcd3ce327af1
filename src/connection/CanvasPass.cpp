// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/CanvasPass.h"

#include "connection/BrevaneConnection.h"
#include "connection/CanvasItems.h"
#include "connection/CourseList.h"
#include "connection/PassSteps.h"
#include "connection/SiteURLs.h"
#include "engine/Engine.h"

#include <QCoreApplication>

#include <algorithm>

#include "schedule/Sleep.h"

namespace vantory::CanvasPass {

namespace {

using PassSteps::Outcome;
using Submissions = std::map<std::string, bool>;

constexpr int scriptAttempts = 30;
constexpr int tabCheckAttempts = 12;
constexpr std::chrono::milliseconds retryDelay{500};
const std::string homeKey = "canvas:home";

bool needsLogin(const QUrl& url)
{
    return !SiteURLs::isOnSite(url, Site::canvas) || url.path().contains(QStringLiteral("login"));
}

QString errorText(const StepError& error)
{
    switch (error.kind) {
    case StepError::Kind::failure:
    case StepError::Kind::terminated: // read as a page that could not be read (failure: structure)
        if (error.failure == Failure::login)
            return QCoreApplication::translate("CanvasPass", "로그인이 필요합니다");
        if (error.failure == Failure::timeout)
            return QCoreApplication::translate("CanvasPass", "서버 응답 시간 초과");
        return QCoreApplication::translate("CanvasPass", "과제 목록 형식을 확인하지 못했습니다");
    case StepError::Kind::decoding:
        return QCoreApplication::translate("CanvasPass", "과제 데이터 형식을 확인하지 못했습니다");
    case StepError::Kind::script:
        if (error.message.find("DUE_DATE") != std::string::npos)
            return QCoreApplication::translate("CanvasPass", "일부 과제의 마감일 형식을 읽지 못했습니다");
        if (error.message.find("UNAVAILABLE") != std::string::npos)
            return QCoreApplication::translate("CanvasPass", "과제 페이지를 열 수 없습니다");
        return QCoreApplication::translate("CanvasPass", "페이지 데이터 읽기 오류");
    case StepError::Kind::load:
        break;
    }
    return QString::fromStdString(loadFailureText(error.load));
}

// Evaluates a script that answers null until its data is ready, every half second, at most 30
// times, while the page stays on Canvas.
QCoro::Task<Outcome<std::string>> canvasJSON(BrevaneConnection& connection, const std::string& script)
{
    if (script.empty())
        co_return StepError::of(Failure::structure);
    for (int attempt = 0;;) {
        if (!SiteURLs::isOnSite(connection.currentURL(), Site::canvas))
            co_return StepError::of(Failure::login);
        const ScriptOutcome outcome = co_await connection.evaluate(script);
        if (const auto* error = std::get_if<PageError>(&outcome))
            co_return StepError::of(*error);
        if (const auto& value = std::get<ScriptValue>(outcome); value.kind == ScriptValue::Kind::text)
            co_return value.text;
        co_await Sleep(connection.scheduler(), retryDelay);
        if (++attempt == scriptAttempts)
            co_return StepError::of(Failure::structure);
    }
}

template <typename T> QCoro::Task<Outcome<T>> readJSON(BrevaneConnection& connection, const std::string& script)
{
    auto text = co_await canvasJSON(connection, script);
    if (auto* error = std::get_if<StepError>(&text))
        co_return *error;
    co_return PassSteps::decodeResult<T>(ScriptValue{ScriptValue::Kind::text, std::get<std::string>(text)});
}

// Whether the course's navigation links to its assignments; absent when that cannot be told.
QCoro::Task<Outcome<std::optional<bool>>> hasAssignments(BrevaneConnection& connection, const Course& course)
{
    const std::string home = SiteURLs::canvas("/courses/" + course.id.substr(Course::canvasPrefix.size()));
    if (auto failed = co_await connection.load(home))
        co_return *failed;
    const QUrl url = connection.currentURL();
    if (needsLogin(url))
        co_return StepError::of(Failure::login);
    if (url.path() != QUrl(QString::fromStdString(home)).path())
        co_return std::optional<bool>();
    for (int attempt = 1;; ++attempt) {
        const ScriptOutcome outcome = co_await connection.evaluate(assignmentsTabCheck);
        if (const auto* error = std::get_if<PageError>(&outcome))
            co_return StepError::of(*error);
        if (const auto& value = std::get<ScriptValue>(outcome); value.kind == ScriptValue::Kind::flag)
            co_return std::optional<bool>(value.flag);
        if (attempt == tabCheckAttempts)
            co_return std::optional<bool>();
        co_await Sleep(connection.scheduler(), retryDelay);
    }
}

QCoro::Task<Outcome<Submissions>> submissionStates(BrevaneConnection& connection)
{
    const std::string& script = connection.scripts().canvasSubmissions;
    if (script.empty())
        co_return StepError::of(Failure::structure);
    co_return PassSteps::decodeResult<Submissions>(co_await connection.callAsync(script));
}

struct Counts {
    int updated = 0;
    int failed = 0;
    int withoutList = 0;
    std::string firstFailure; // the first failed course's name and why, for the end's status
    std::string loginReason; // why the pass stopped for a sign-in
};

void countFailure(Counts& counts, const Course& course, const QString& why)
{
    if (counts.failed++ == 0)
        counts.firstFailure = course.name + " · " + why.toStdString();
}

// Reads and merges one course; a false result means the pass must stop for login.
QCoro::Task<bool> syncCourse(BrevaneConnection& connection, const Course& course, Counts& counts)
{
    Store& store = connection.store();
    const auto fail = [&](const StepError& error) {
        countFailure(counts, course, errorText(error));
        PassSteps::setError(store, course.id,
            QCoreApplication::translate("CanvasPass", "%1 · 기존 일정 유지").arg(errorText(error)).toStdString());
        if (!needsLogin(connection.currentURL()))
            return true;
        store.setCanvasNeedsLogin(true);
        counts.loginReason = connection.reason(PassSteps::asLogin(error));
        return false;
    };

    const auto listed = co_await hasAssignments(connection, course);
    if (const auto* error = std::get_if<StepError>(&listed))
        co_return fail(*error);
    if (std::get<std::optional<bool>>(listed) == false) {
        ++counts.withoutList;
        const auto& items = store.db().assessments;
        const bool stored
            = std::any_of(items.begin(), items.end(), [&](const Assessment& a) { return a.courseID == course.id; });
        const QString notice = stored
            ? QCoreApplication::translate(
                "CanvasPass", "Canvas에서 과제 목록을 제공하지 않는 과목입니다. 이전 일정은 유지합니다.")
            : QCoreApplication::translate("CanvasPass", "Canvas에서 과제 목록을 제공하지 않는 과목입니다.");
        PassSteps::setNotice(store, course.id, notice.toStdString());
        PassSteps::setError(store, course.id, "");
        co_return true;
    }
    PassSteps::setNotice(store, course.id, "");

    if (auto failed = co_await connection.load(course.url()))
        co_return fail(*failed);
    auto assignments
        = co_await readJSON<std::vector<CanvasAssignment>>(connection, connection.scripts().canvasAssignments);
    if (const auto* error = std::get_if<StepError>(&assignments))
        co_return fail(*error);
    const auto states = co_await submissionStates(connection);
    const auto* submissions = std::get_if<Submissions>(&states);

    const Instant now = connection.scheduler().now();
    std::vector<Assessment> items;
    for (const CanvasAssignment& assignment : std::get<std::vector<CanvasAssignment>>(assignments)) {
        // A due date that is there but unreadable would silently drop the deadline.
        if (assignment.due && !CanvasItems::readDate(assignment.due))
            co_return fail(StepError::of(Failure::structure));
        items.push_back(
            CanvasItems::item(assignment, course, submissions ? *submissions : Submissions{}, store.db(), now));
    }
    if (submissions) {
        PassSteps::setError(store, course.id, "");
    } else {
        PassSteps::setError(store, course.id,
            QCoreApplication::translate(
                "CanvasPass", "마감은 업데이트했지만 제출 상태를 확인하지 못했습니다. 기존 완료 상태를 유지합니다.")
                .toStdString());
        countFailure(counts, course, QCoreApplication::translate("CanvasPass", "제출 상태를 확인하지 못했습니다"));
    }
    store.update([&](Database& db) { Engine::merge(std::move(items), course.id, db, now); });
    ++counts.updated;
    co_return true;
}

} // namespace

QCoro::Task<> run(BrevaneConnection& connection)
{
    Store& store = connection.store();
    store.setCanvasStatus(QCoreApplication::translate("CanvasPass", "Canvas 전체 과목 조회 중…").toStdString());
    std::optional<StepError> listFailure = co_await connection.load(SiteURLs::canvas("/courses"));
    Outcome<std::vector<DiscoveredCourse>> discovered = StepError::of(Failure::structure);
    if (!listFailure) {
        discovered = co_await readJSON<std::vector<DiscoveredCourse>>(connection, connection.scripts().canvasCourses);
        if (const auto* error = std::get_if<StepError>(&discovered))
            listFailure = *error;
    }
    if (listFailure) {
        const bool login = needsLogin(connection.currentURL());
        const std::string status
            = (login ? QCoreApplication::translate("CanvasPass", "Canvas 로그인이 필요해요")
                     : QCoreApplication::translate("CanvasPass", "Canvas 과목 조회 실패 · 기존 일정 유지"))
                  .toStdString();
        store.setCanvasNeedsLogin(login);
        store.setCanvasStatus(status, connection.reason(login ? PassSteps::asLogin(*listFailure) : *listFailure));
        PassSteps::setError(store, homeKey, status);
        connection.endPass();
        co_return;
    }

    PassSteps::setError(store, homeKey, "");
    store.update([&](Database& db) {
        CourseList::update(db.settings.courses, std::get<std::vector<DiscoveredCourse>>(discovered), Site::canvas,
            connection.random());
    });

    std::vector<Course> courses;
    for (const Course& course : store.db().settings.courses) {
        if (course.enabled && course.isCanvas())
            courses.push_back(course);
    }
    Counts counts;
    for (const Course& course : courses) {
        store.setCanvasStatus(QCoreApplication::translate("CanvasPass", "Canvas %1 동기화 중…")
                                  .arg(QString::fromStdString(course.name))
                                  .toStdString());
        if (!co_await syncCourse(connection, course, counts))
            break;
    }

    if (store.canvasNeedsLogin())
        store.setCanvasStatus(
            QCoreApplication::translate("CanvasPass", "Canvas 재로그인이 필요해요").toStdString(), counts.loginReason);
    else if (counts.failed > 0)
        store.setCanvasStatus(QCoreApplication::translate(
                                  "CanvasPass", "Canvas %n개 과목 업데이트 · %1개 확인 필요", nullptr, counts.updated)
                                  .arg(counts.failed)
                                  .toStdString(),
            counts.firstFailure);
    else if (counts.withoutList > 0)
        store.setCanvasStatus(QCoreApplication::translate(
            "CanvasPass", "Canvas 업데이트 완료 · %n개 과목은 과제 목록 미제공", nullptr, counts.withoutList)
                                  .toStdString());
    else
        store.setCanvasStatus(QCoreApplication::translate("CanvasPass", "Canvas 업데이트 완료").toStdString());
    connection.endPass();
}

} // namespace vantory::CanvasPass
