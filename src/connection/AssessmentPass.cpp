// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/AssessmentPass.h"

#include "connection/BrevaneConnection.h"
#include "connection/CourseList.h"
#include "connection/PassSteps.h"
#include "connection/SiteURLs.h"
#include "engine/Engine.h"
#include "model/Modes.h"

#include <QCoreApplication>

#include <cctype>
#include <map>

namespace vantory::AssessmentPass {

namespace {

using PassSteps::Outcome;

const std::string homeKey = "home";
std::string loginStatus()
{
    return QCoreApplication::translate("AssessmentPass", "로그인이 필요해요 · 기존 일정 유지").toStdString();
}

// The home page counts as signed in only on the site's own root.
bool homeNeedsLogin(const QUrl& url)
{
    return !SiteURLs::isOnSite(url, Site::assessment) || url.path() != QStringLiteral("/");
}

bool coursePageNeedsLogin(const QUrl& url)
{
    return !SiteURLs::isOnSite(url, Site::assessment) || url.path().contains(QStringLiteral("auth"));
}

std::string errorText(const StepError& error)
{
    switch (error.kind) {
    case StepError::Kind::failure:
        return description(error.failure);
    case StepError::Kind::decoding:
    case StepError::Kind::terminated:
        return description(Failure::structure);
    case StepError::Kind::load:
        return loadFailureText(error.load);
    case StepError::Kind::script:
        break;
    }
    return error.message;
}

// The first course of this site that the errors hold, by name, with why: this pass's reason for it,
// or the entry itself (unreadable dates, or a course no longer synced).
std::string firstFailure(const Store& store, const std::map<std::string, std::string>& reasons)
{
    for (const auto& [key, text] : store.errors()) {
        if (key.starts_with(Course::canvasPrefix))
            continue;
        const auto found = reasons.find(key);
        return store.db().settings.courseName(key) + " · " + (found != reasons.end() ? found->second : text);
    }
    return {};
}

// The year of a term code such as "2025W1" in the page's course heading.
std::optional<std::int64_t> headingYear(const std::string& heading)
{
    const auto digit = [&](std::size_t i) { return std::isdigit(static_cast<unsigned char>(heading[i])) != 0; };
    for (std::size_t i = 0; i + 4 < heading.size(); ++i) {
        if (heading.compare(i, 2, "20") == 0 && digit(i + 2) && digit(i + 3)
            && (heading[i + 4] == 'W' || heading[i + 4] == 'S'))
            return std::stoll(heading.substr(i, 4));
    }
    return std::nullopt;
}

QCoro::Task<Outcome<std::vector<DiscoveredCourse>>> readCourseList(BrevaneConnection& connection)
{
    if (auto failed = co_await connection.load(SiteURLs::startPage(Site::assessment)))
        co_return *failed;
    if (homeNeedsLogin(connection.currentURL()))
        co_return StepError::of(Failure::login);
    co_return PassSteps::decodeResult<std::vector<DiscoveredCourse>>(
        co_await connection.evaluate(connection.scripts().courses));
}

QCoro::Task<Outcome<PagePayload>> readCourse(BrevaneConnection& connection, const Course& course)
{
    if (auto failed = co_await connection.load(course.url()))
        co_return *failed;
    const QUrl url = connection.currentURL();
    const QUrl expected(QString::fromStdString(course.url()));
    if (!SiteURLs::isOnSite(url, Site::assessment)
        || SiteURLs::trimmedPath(url.path()) != SiteURLs::trimmedPath(expected.path()))
        co_return StepError::of(Failure::login);
    auto payload = PassSteps::decodeResult<PagePayload>(co_await connection.evaluate(connection.scripts().extract));
    if (const auto* read = std::get_if<PagePayload>(&payload);
        read && (read->courseID != course.id || read->rows.empty()))
        co_return StepError::of(Failure::wrongCourse);
    co_return payload;
}

// Merges one course's rows and saves.
void mergeCourse(BrevaneConnection& connection, const Course& course, const PagePayload& payload)
{
    const Instant now = connection.scheduler().now();
    Course dated = course;
    dated.year = headingYear(payload.courseHeading).value_or(course.year);
    const Zone zone = connection.store().db().settings.zone();
    std::vector<Assessment> items;
    items.reserve(payload.rows.size());
    bool unreadableDates = false;
    for (const RawAssessment& row : payload.rows) {
        items.push_back(Engine::assessment(row, dated, now, zone));
        unreadableDates = unreadableDates || items.back().deadlineStatus == Modes::Deadline::parseError;
    }
    Store& store = connection.store();
    PassSteps::setError(store, course.id,
        unreadableDates ? QCoreApplication::translate("AssessmentPass", "일부 날짜를 확인하지 못했어요").toStdString()
                        : "");
    store.update([&](Database& db) { Engine::merge(std::move(items), course.id, db, now); });
}

// What the pass over the courses found.
struct CoursesRead {
    std::size_t good = 0;
    std::map<std::string, std::string> reasons; // of the failed courses, by id
    std::string loginReason;
};

// Each course in turn, merged as it is read; a sign-in page ends the pass there.
QCoro::Task<CoursesRead> readCourses(BrevaneConnection& connection, const std::vector<Course>& courses)
{
    Store& store = connection.store();
    CoursesRead outcome;
    for (const Course& course : courses) {
        store.setStatus(QCoreApplication::translate("AssessmentPass", "%1 동기화 중…")
                            .arg(QString::fromStdString(course.name))
                            .toStdString());
        const auto read = co_await readCourse(connection, course);
        if (const auto* payload = std::get_if<PagePayload>(&read)) {
            mergeCourse(connection, course, *payload);
            ++outcome.good;
            continue;
        }
        const StepError& error = std::get<StepError>(read);
        const bool loginFailure = error.kind == StepError::Kind::failure && error.failure == Failure::login;
        if (loginFailure || coursePageNeedsLogin(connection.currentURL())) {
            store.setNeedsLogin(true);
            PassSteps::setError(store, course.id, description(Failure::login));
            outcome.loginReason = connection.reason(PassSteps::asLogin(error));
            break;
        }
        PassSteps::setError(store, course.id, errorText(error));
        outcome.reasons[course.id] = connection.reason(error);
    }
    co_return outcome;
}

void reportPass(Store& store, std::size_t courses, const CoursesRead& outcome)
{
    const auto& errors = store.errors();
    const bool onlyCanvasErrors = std::all_of(
        errors.begin(), errors.end(), [](const auto& entry) { return entry.first.starts_with(Course::canvasPrefix); });
    if (store.needsLogin())
        store.setStatus(loginStatus(), outcome.loginReason);
    else if (outcome.good == courses && onlyCanvasErrors)
        store.setStatus(QCoreApplication::translate("AssessmentPass", "최근 업데이트 완료").toStdString());
    else
        store.setStatus(
            QCoreApplication::translate("AssessmentPass", "일부 동기화 실패 · 기존 일정 유지").toStdString(),
            firstFailure(store, outcome.reasons));
}

} // namespace

QCoro::Task<> run(BrevaneConnection& connection)
{
    Store& store = connection.store();
    store.setStatus(QCoreApplication::translate("AssessmentPass", "홈페이지에서 과목을 찾는 중…").toStdString());
    const auto discovered = co_await readCourseList(connection);
    if (const auto* error = std::get_if<StepError>(&discovered)) {
        const bool login = homeNeedsLogin(connection.currentURL());
        store.setNeedsLogin(login);
        PassSteps::setError(store, homeKey, description(login ? Failure::login : Failure::structure));
        store.setStatus(login
                ? loginStatus()
                : QCoreApplication::translate("AssessmentPass", "과목 목록 조회 실패 · 기존 일정 유지").toStdString(),
            connection.reason(login ? PassSteps::asLogin(*error) : *error));
        connection.endPass();
        co_return;
    }

    PassSteps::setError(store, homeKey, "");
    store.update([&](Database& db) {
        CourseList::update(db.settings.courses, std::get<std::vector<DiscoveredCourse>>(discovered), Site::assessment,
            connection.random());
    });

    std::vector<Course> courses;
    for (const Course& course : store.db().settings.courses) {
        if (course.enabled && !course.isCanvas())
            courses.push_back(course);
    }
    if (courses.empty()) {
        store.setStatus(
            QCoreApplication::translate("AssessmentPass", "동기화할 과목이 없어요 · 설정에서 확인").toStdString());
        connection.endPass();
        co_return;
    }
    const CoursesRead outcome = co_await readCourses(connection, courses);
    reportPass(store, courses.size(), outcome);
    connection.endPass();
}

} // namespace vantory::AssessmentPass
