#include "connection/PageScripts.h"
#include "model/StateFile.h"

#include "ConnectionFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

using namespace vantory;
using namespace vantory::test;
using namespace std::chrono_literals;

namespace {

// "2025-12-05 10:00:00 (PST)" or "2025-12-05T18:00:00Z" for a day counted from 2025-12-01.
std::string date(int day, bool iso)
{
    const std::chrono::year_month_day ymd{
        std::chrono::sys_days{std::chrono::year{2025} / 12 / 1} + std::chrono::days{day}};
    char text[40];
    std::snprintf(text, sizeof text, iso ? "%04d-%02u-%02uT18:00:00Z" : "%04d-%02u-%02u 10:00:00 (PST)",
        static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return text;
}

// The soak saves thousands of times; on a busy disk every fsync would wait, so the state file
// lives in memory when the machine offers a tmpfs.
const bool inMemory = std::filesystem::is_directory("/dev/shm") && ::setenv("TMPDIR", "/dev/shm", 1) == 0;

// Both sites as they change over the weeks: courses come and go, items appear, move and vanish,
// and any load or script may fail in one of the ways a real page does.
class SoakTest : public ConnectionFixture {
protected:
    struct Course {
        bool listed = true;
        std::map<int, int> items; // number → due day
    };

    void SetUp() override
    {
        store.update([](Database& db) { db.settings.canvasEnabled = true; });
        for (Site site : {Site::assessment, Site::canvas}) {
            host.page(site).site = [this, site](const std::string& url) { return response(site, url); };
            host.page(site).scripts
                = [this, site](const std::string& url, const std::string& script) { return result(site, url, script); };
        }
    }

    std::map<std::string, Course>& courses(Site site) { return site == Site::canvas ? canvas : learn; }

    FakePage::Response response(Site site, const std::string& url)
    {
        switch (std::uniform_int_distribution(0, 39)(random)) {
        case 0:
            return {site == Site::canvas ? "https://canvas.test/login/canvas" : "https://learn.test/pl/login"};
        case 1:
            return {{}, Response::End::fail, {PageError::Kind::network, "연결 거부"}};
        case 2:
            return {{}, Response::End::hang};
        case 3:
            return {{}, Response::End::terminate, {PageError::Kind::terminated, "crashed"}};
        default:
            return {url};
        }
    }

    ScriptOutcome result(Site site, const std::string& url, const std::string& script)
    {
        switch (std::uniform_int_distribution(0, 39)(random)) {
        case 0:
            return text(std::string("[{\"id\": "));
        case 1:
            return thrown("TypeError: null");
        case 2:
            return notText();
        default:
            break;
        }
        if (script == "courses" || script == "canvas-courses") {
            nlohmann::json list = nlohmann::json::array();
            for (const auto& [id, course] : courses(site))
                if (course.listed)
                    list.push_back({{"id", site == Site::canvas ? "canvas:" + id : id}, {"name", "C" + id},
                        {"fullName", "Course " + id}, {"year", 2025}});
            return text(list);
        }
        if (script == assignmentsTabCheck)
            return ScriptValue{ScriptValue::Kind::flag, "", true};
        if (script == "canvas-submissions")
            return text(nlohmann::json::object());
        const std::string prefix
            = site == Site::canvas ? "https://canvas.test/courses/" : "https://learn.test/pl/course_instance/";
        const std::string id = url.substr(prefix.size(), url.find('/', prefix.size()) - prefix.size());
        const auto course = courses(site).find(id);
        if (course == courses(site).end()) // as the real scripts do on any other page
            return thrown("UNAVAILABLE: not a course page");
        nlohmann::json rows = nlohmann::json::array();
        for (const auto& [number, due] : course->second.items) {
            const std::string code = "HW" + std::to_string(number);
            if (site == Site::canvas)
                rows.push_back({{"id", std::to_string(number)}, {"title", code}, {"category", "Assignments"},
                    {"url", url + "/" + std::to_string(number)}, {"due", date(due, true)}});
            else
                rows.push_back(
                    {{"code", code}, {"title", code}, {"category", "Homeworks"}, {"availability", ""}, {"score", "10%"},
                        {"rules", {{{"credit", 100}, {"start", date(due - 7, false)}, {"end", date(due, false)}}}}});
        }
        if (site == Site::canvas)
            return text(rows);
        return text(nlohmann::json{{"courseID", id}, {"courseHeading", "C" + id + ", 2025W1"}, {"rows", rows}});
    }

    // An hour of change on both sites. A course that leaves is gone for good (the application
    // switches an unlisted course off) and a new one comes in its place.
    void change(int day)
    {
        for (Site site : {Site::assessment, Site::canvas}) {
            int arriving = 0;
            for (auto& [id, course] : courses(site)) {
                if (!course.listed)
                    continue;
                const int roll = std::uniform_int_distribution(0, 999)(random);
                if (roll < 2)
                    course.listed = false, ++arriving;
                else if (roll < 40)
                    course.items[nextItem++] = day + std::uniform_int_distribution(1, 20)(random);
                else if (roll < 60 && !course.items.empty())
                    course.items.begin()->second += 1;
                else if (roll < 70 && !course.items.empty())
                    course.items.erase(std::next(course.items.begin(), random() % course.items.size()));
                for (const auto& [number, due] : course.items)
                    listedEver.insert(number);
            }
            for (; arriving > 0; --arriving)
                courses(site)[std::to_string(nextCourse++)] = {};
        }
    }

    // Everything that must hold between passes.
    void checkInvariants(bool decode)
    {
        const auto& items = store.db().assessments;
        ASSERT_TRUE(std::adjacent_find(items.begin(), items.end(),
                        [](const Assessment& a, const Assessment& b) { return !(a.id < b.id); })
            == items.end())
            << "sorted and unique by id";
        std::set<std::string> ids;
        for (const Assessment& item : items)
            ids.insert(item.id);
        for (const std::string& id : stored)
            ASSERT_TRUE(ids.contains(id)) << id << " was lost";
        stored = std::move(ids);
        ASSERT_FALSE(store.storageError()) << *store.storageError();
        const std::string bytes = contents(store.statePath());
        ASSERT_EQ(bytes, StateFile::encode(store.db())) << "the file holds the Store's database";
        std::istringstream stream(bytes);
        if (decode) { // slow under the sanitizers; the bytes above are compared every time
            ASSERT_EQ(StateFile::decode(stream).assessments, items);
        }
        ASSERT_LE(bytes.size(), 8192 + 1500 * listedEver.size()) << "the file grows only with listed items";
        ASSERT_LE(scheduler.pending(), 8u) << "timers pile up";
        ASSERT_LE(store.errors().size(), learn.size() + canvas.size() + 2);
    }

    std::mt19937 random{2026};
    std::map<std::string, Course> learn, canvas;
    std::set<int> listedEver;
    std::set<std::string> stored;
    int nextItem = 1;
    int nextCourse = 20;
};

} // namespace

TEST_F(SoakTest, ThirtyDaysOfPassesAgainstChangingFailingSites)
{
    learn["11"] = canvas["11"] = {};
    connection(Site::assessment).syncIfDue();
    connection(Site::canvas).syncIfDue();

    int passes = 0, checks = 0, signIns = 0;
    std::optional<Instant> lastStart[2];
    std::size_t pendingOnDay1 = 0;
    for (int hour = 0; hour < 30 * 24; ++hour) {
        change(hour / 24);
        // Signing in again within two hours of a site asking for it, as the login window would.
        if (store.needsLogin() && hour % 2 == 0)
            store.setNeedsLogin(false), ++signIns;
        if (store.canvasNeedsLogin() && hour % 2 == 0)
            store.setCanvasNeedsLogin(false), ++signIns;
        for (int tick = 0; tick < 120; ++tick) {
            scheduler.advance(BrevaneConnection::tickInterval);
            bool ran = false;
            for (Site site : {Site::assessment, Site::canvas}) {
                auto& last = lastStart[site == Site::canvas];
                if (!connection(site).running() && connection(site).lastAttempt() != last) {
                    last = connection(site).lastAttempt();
                    ++passes, ran = true;
                }
            }
            if (ran) {
                ASSERT_NO_FATAL_FAILURE(checkInvariants(checks % 24 == 0)) << "hour " << hour;
                ++checks;
            }
        }
        if (hour == 23)
            pendingOnDay1 = scheduler.pending();
    }
    EXPECT_LE(scheduler.pending(), pendingOnDay1 + 2) << "scheduled actions stay flat";
    EXPECT_GT(passes, 2 * 30 * 12) << "both sites ran about hourly";
    EXPECT_GT(stored.size(), 30u);
    std::printf("30 days: %d passes, %d invariant checks, %d sign-ins, %zu items stored of %zu listed, %zu bytes\n",
        passes, checks, signIns, stored.size(), listedEver.size(), contents(store.statePath()).size());
}
