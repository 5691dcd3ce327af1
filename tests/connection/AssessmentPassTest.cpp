// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/CourseList.h"

#include "ConnectionFixture.h"

using namespace vantory;
using namespace vantory::test;
using Json = nlohmann::json;

namespace {

const std::string home = "https://learn.test/";
const std::string unreadable = "페이지 형식을 읽지 못했어요. 기존 일정은 유지됩니다.";
const std::string mismatch = "과목 정보가 일치하지 않아요. 기존 일정은 유지됩니다.";
const std::string signIn = "사이트가 로그인 페이지로 보냈습니다", unknown = "페이지 형식을 알아볼 수 없습니다";
const std::string notFound = "사이트 주소를 찾을 수 없습니다 (오류 -105)";

const auto coursePage
    = [](const std::string& id) { return "https://learn.test/pl/course_instance/" + id + "/assessments"; };

Json listed(const std::string& id, const std::string& name, std::int64_t year = 2025)
{
    return {{"id", id}, {"name", name}, {"fullName", name + " 전체 이름"}, {"year", year}};
}

// One row, due a day after start unless told.
Json payload(const std::string& id, const std::string& end = "2025-12-05 10:00:00 (PST)")
{
    const Json row = {{"code", "HW1"}, {"title", "HW1 title"}, {"category", "Homeworks"},
        {"availability", "100% until 10:00, Fri, Dec 5"}, {"score", "20%"},
        {"rules", {{{"credit", 100}, {"start", "2025-12-01 10:00:00 (PST)"}, {"end", end}}}}};
    return {{"courseID", id}, {"courseHeading", "CS 313, 2025W1"}, {"rows", {row}}};
}

// A home page listing `courses` and a page per course.
class AssessmentPassTest : public ConnectionFixture {
protected:
    void SetUp() override
    {
        worker(Site::assessment).scripts = [this](const std::string& url, const std::string& script) {
            if (script == "courses")
                return text(courses);
            const auto id = url.substr(coursePage("").size() - 12);
            return text(payload(id.substr(0, id.find('/'))));
        };
    }

    const std::vector<std::string>& loads() { return worker(Site::assessment).loads; }

    Json courses = Json::array();
};

TEST_F(AssessmentPassTest, FirstPassAddsTheListedCoursesAndMergesEachPageUnreadableDatesIncluded)
{
    runPass(Site::assessment);
    EXPECT_EQ(store.status(), "동기화할 과목이 없어요 · 설정에서 확인");
    courses = {listed("4127", "313"), listed("4130", "221")};
    runPass(Site::assessment);
    EXPECT_EQ(store.status(), "최근 업데이트 완료");
    EXPECT_EQ(loads(), (std::vector<std::string>{home, home, coursePage("4127"), coursePage("4130")}));
    ASSERT_EQ(store.db().assessments.size(), 2u);
    EXPECT_EQ(std::tie(store.db().assessments[0].id, store.db().assessments[0].deadlineStatus),
        std::tuple("4127:HW1", "known"));
    EXPECT_TRUE(std::filesystem::exists(store.statePath()) && !store.brevaneSyncing());
    worker(Site::assessment).results = {{coursePage("4130"), text(payload("4130", "someday"))}};
    runPass(Site::assessment);
    EXPECT_EQ(std::tuple(error("4130"), store.db().assessments.at(1).deadlineStatus, store.statusReason()),
        std::tuple("일부 날짜를 확인하지 못했어요", "parse-error", "221 · 일부 날짜를 확인하지 못했어요"));
}

TEST_F(AssessmentPassTest, AFailedHomePageKeepsEverythingAndTellsLoginFromOtherFailures)
{
    const Failing cases[] = {{"single sign-on elsewhere", {"https://sso.university.test/login"}, {}, "", true, signIn},
        {"sign-in page of the site", {"https://learn.test/pl/login"}, {}, "", true, signIn},
        {"script gives broken JSON", {}, text(std::string("[{\"id\": ")), "", false, unknown},
        {"connection refused", failing(-102), {}, "", false, "사이트가 연결을 거부했습니다 (오류 -102)"},
        {"host not found", failing(-105), {}, "", false, notFound},
        {"the site's error page", errorPage(503), notText(), "", false,
            "사이트가 오류 페이지로 답했습니다 (HTTP 503)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        runFailing(Site::assessment, home, c);
        EXPECT_EQ(std::tuple(store.needsLogin(), error("home"), store.status(), store.statusReason()),
            std::tuple(c.login, c.login ? "BrevaneLearn 로그인이 필요해요" : unreadable,
                c.login ? "로그인이 필요해요 · 기존 일정 유지" : "과목 목록 조회 실패 · 기존 일정 유지", c.reason));
        EXPECT_FALSE(std::filesystem::exists(store.statePath())) << "nothing saved";
        store.setNeedsLogin(false); // lets the next case start
    }
}

TEST_F(AssessmentPassTest, ACourseFailureKeepsItsDeadlinesAndTheOtherCoursesGoOn)
{
    courses = {listed("1", "A"), listed("2", "B"), listed("3", "C")};
    runPass(Site::assessment);
    const Assessment kept = store.db().assessments.at(1);
    ASSERT_EQ(kept.id, "2:HW1");
    const Failing cases[] = {{"network", failing(-105), {}, notFound, false, notFound},
        {"page of another course", {}, text(payload("9")), mismatch, false, "다른 과목의 페이지가 열렸습니다"},
        {"no rows", {}, text(Json{{"courseID", "2"}, {"courseHeading", ""}, {"rows", Json::array()}}), mismatch, false,
            "다른 과목의 페이지가 열렸습니다"},
        {"not text", {}, notText(), unreadable, false, unknown},
        {"error page", errorPage(404), notText(), unreadable, false, "사이트가 오류 페이지로 답했습니다 (HTTP 404)"},
        {"nested 70,000 deep", {}, text(std::string(70000, '[')), unreadable, false, unknown},
        {"wrong shape", {}, text(Json{{"courseID", "2"}}), unreadable, false, unknown},
        {"script throws", {}, thrown("ReferenceError: x"), "ReferenceError: x", false,
            "페이지를 읽는 스크립트가 실패했습니다"},
        {"renderer died", {{}, Response::End::terminate}, {}, unreadable, false,
            "페이지를 처리하던 웹 엔진이 멈췄습니다"},
        {"never finishes", {{}, Response::End::hang}, {}, "응답 시간이 초과됐어요. 기존 일정은 유지됩니다.", false,
            "페이지를 여는 데 너무 오래 걸렸습니다"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        runFailing(Site::assessment, coursePage("2"), c);
        EXPECT_EQ(std::tuple(error("2"), store.needsLogin(), store.status(), store.statusReason()),
            std::tuple(c.text, false, "일부 동기화 실패 · 기존 일정 유지", "B · " + c.reason));
        EXPECT_EQ(loads().back(), coursePage("3")) << "the pass goes on";
        ASSERT_EQ(store.db().assessments.size(), 3u);
        EXPECT_EQ(store.db().assessments[1], kept) << "course 2 keeps its item as it was";
    }
}

TEST_F(AssessmentPassTest, ASignInPageOnACourseEndsThePassAfterSavingTheCoursesBefore)
{
    courses = {listed("1", "A"), listed("2", "B"), listed("3", "C")};
    runFailing(Site::assessment, coursePage("2"), {"", {"https://learn.test/pl/auth/institution/3/saml/login"}});
    EXPECT_EQ(std::tuple(error("2"), store.needsLogin(), store.status(), store.statusReason()),
        std::tuple("BrevaneLearn 로그인이 필요해요", true, "로그인이 필요해요 · 기존 일정 유지", signIn));
    EXPECT_EQ(loads().back(), coursePage("2")) << "course 3 is not visited";
    EXPECT_TRUE(store.db().assessments.size() == 1 && store.db().assessments[0].courseID == "1");
}

TEST_F(AssessmentPassTest, TheCourseListFollowsTheSiteWithoutLosingTheUsersChoices)
{
    store.update([](Database& db) {
        db.settings.courses = {{.id = "1", .name = "내 이름", .year = 2024, .fullName = "old", .colorHex = "111111"},
            {.id = "2", .name = "gone"}, {.id = "canvas:7", .name = "Canvas course"}};
    });
    courses = {listed("1", "site name", 2026), listed("3", "new")};
    runPass(Site::assessment);
    const auto& list = store.db().settings.courses;
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(std::tie(list[0].name, list[0].colorHex, list[0].fullName, list[0].year),
        std::tuple("내 이름", "111111", "site name 전체 이름", 2026));
    EXPECT_FALSE(list[1].enabled) << "a vanished course is disabled, not removed";
    EXPECT_TRUE(list[2].enabled) << "Canvas courses are not this site's";
    EXPECT_EQ(std::tuple(list[3].id, loads()),
        std::tuple("3", std::vector<std::string>{home, coursePage("1"), coursePage("3")}));
}

TEST(CourseList, NewCoursesTakeDistinctPaletteColoursUntilAllAreUsed)
{
    std::vector<DiscoveredCourse> found(9);
    for (int i = 0; i < 9; ++i)
        found[i].id = std::to_string(i);
    const std::set<std::string> palette(CourseList::palette.begin(), CourseList::palette.end());
    for (std::uint64_t seed = 0; seed < 20; ++seed) {
        std::mt19937_64 random(seed);
        std::vector<Course> courses;
        CourseList::update(courses, found, Site::assessment, random);
        std::set<std::string> colours;
        for (const Course& course : courses)
            colours.insert(course.colorHex);
        EXPECT_EQ(colours, palette) << "the first eight take every colour, the ninth one of them";
    }
}

} // namespace
