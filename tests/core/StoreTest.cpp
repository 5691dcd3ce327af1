#include "store/Store.h"

#include "store/SiteChoice.h"

#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vantory;
namespace fs = std::filesystem;

namespace {

// 2025-12-04 18:00 UTC = 10:00 in Vancouver.
constexpr double morning = 1764871200;

Assessment item(std::string id, std::string courseID, std::string category = "Quiz", bool missing = false)
{
    return {.id = id, .courseID = courseID, .code = id, .title = id, .category = category, .missing = missing};
}

class StoreTest : public ::testing::Test {
protected:
    std::unique_ptr<Store> makeStore(bool withCourses = false)
    {
        auto store = std::make_unique<Store>(directory / "state.json", instantFromSeconds(morning));
        if (withCourses)
            store->update([](Database& db) {
                db.settings.courses = {{"1", "313", true, 2025, "", "111111"}, {"2", "221", true, 2025, "", "222222"},
                    {"3", "110", false, 2025}};
            });
        return store;
    }

    test::SiteScope sites;
    test::TemporaryFolder directory;
};

} // namespace

TEST_F(StoreTest, StartsFreshAndSavesOnlyOnChange)
{
    auto store = makeStore();
    EXPECT_EQ(store->status(), Store::initialStatus);
    EXPECT_EQ(store->canvasStatus(), Store::initialCanvasStatus);
    int changes = 0;
    store->onChange = [&] { ++changes; };
    store->setStatus("x");
    EXPECT_FALSE(fs::exists(store->statePath())) << "flags and texts are never saved";

    // An override is created on first edit and kept even when it returns to the defaults.
    const Assessment quiz = item("1:Q", "1");
    store->override(quiz, [](UserOverride& o) { o.completed = true; });
    store->override(quiz, [](UserOverride& o) { o.completed = false; });
    EXPECT_EQ(store->db().overrides.at("1:Q"), UserOverride{});
    EXPECT_EQ(changes, 2);

    auto reloaded = makeStore();
    EXPECT_EQ(reloaded->status(), Store::loadedStatus);
    EXPECT_EQ(reloaded->db(), store->db());
}

TEST_F(StoreTest, ObserversHearEveryWrite)
{
    auto store = makeStore();
    std::vector<Store::Field> heard;
    const auto token = store->observe([&](Store::Field field) { heard.push_back(field); });
    store->setBrevaneSyncing(true);
    EXPECT_TRUE(store->syncing());
    store->setCanvasSyncing(true);
    store->setBrevaneSyncing(false);
    EXPECT_TRUE(store->syncing());
    store->setErrors({{"home", "e"}});
    store->update([](Database&) {});
    store->unobserve(token);
    store->setNeedsLogin(true);
    EXPECT_EQ(heard,
        (std::vector<Store::Field>{Store::Field::brevaneSyncing, Store::Field::canvasSyncing,
            Store::Field::brevaneSyncing, Store::Field::errors, Store::Field::db}));
}

TEST_F(StoreTest, DerivedListsAndTexts)
{
    auto store = makeStore(true);
    EXPECT_EQ(store->lastUpdateText(), "아직 동기화하지 않았어요");
    store->update([](Database& db) {
        db.assessments = {item("1:A", "1"), item("1:B", "1", "Lab", true), item("2:A", "2", "Exam"),
            item("3:A", "3", "Essay"), item("9:A", "9"), item("2:B", "2")};
        db.lastSync = {{"1", instantFromSeconds(morning)}, {"2", instantFromSeconds(morning + 5400)},
            {"3", instantFromSeconds(morning - 86400)}};
    });
    EXPECT_EQ(store->enabled().size(), 3u);
    EXPECT_EQ(store->categories(), (std::vector<std::string>{"Exam", "Quiz"}));
    EXPECT_EQ(store->lastUpdateText(), "마지막 업데이트 12/4 10:00");
    // The zone follows the settings, also after a reload.
    store->update([](Database& db) { db.settings.timeZone = "Asia/Seoul"; });
    EXPECT_EQ(store->zone().id(), "Asia/Seoul");
    EXPECT_EQ(store->lastUpdateText(), "마지막 업데이트 12/5 03:00");
    EXPECT_EQ(makeStore()->zone().id(), "Asia/Seoul");
    store->update([](Database& db) { db.settings.timeZone = "America/Vancouver"; });
    EXPECT_EQ(store->zone().id(), "America/Vancouver");

    EXPECT_EQ(store->courseName(item("x", "2")), "221");
    EXPECT_EQ(store->courseName(item("x", "9")), "9");
    EXPECT_EQ(store->courseColor(item("x", "1")).hex(), "111111");
    EXPECT_EQ(store->courseColor(item("x", "9")).hex(), "3B82F6");

    EXPECT_EQ(store->color(item("x", "1")).hex(), "22C55E") << "no due date: the colour for no threshold";
    Assessment soon = item("x", "1");
    soon.due = instantFromSeconds(morning + 3600);
    EXPECT_EQ(store->color(soon).hex(), "EF4444");
}

// Which hosts pass is Sites::isSiteURL's choice, tested through the calendar's URL lines.
TEST_F(StoreTest, OpensOnlyPagesOfTheSitesInUseAndFollowsTheirAddressesAtOnce)
{
    auto store = makeStore(true);
    std::vector<std::string> opened;
    store->openURL = [&](const std::string& url) { opened.push_back(url); };
    const auto open = [&](std::optional<std::string> url, const std::string& course = "1") {
        opened.clear();
        Assessment target = item(course + ":A", course);
        target.url = url;
        store->open(target);
        return opened.empty() ? std::string("nothing") : opened.front();
    };
    const std::string coursePage = "https://learn.test/pl/course_instance/1/assessments";
    EXPECT_EQ(open("https://canvas.test:8443/courses/1"), "https://canvas.test:8443/courses/1");
    EXPECT_EQ(open(std::nullopt), coursePage);
    EXPECT_EQ(open("not a url"), coursePage);
    EXPECT_EQ(open("http://learn.test/pl/x"), "nothing");
    EXPECT_EQ(open("javascript:alert(1)"), "nothing");
    EXPECT_EQ(open(std::nullopt, "9"), "nothing") << "no course, no URL";

    const SiteChoice choice(*store, {});

    store->update([](Database& db) {
        db.settings.assessmentBaseURL = "";
        db.settings.canvasBaseURL = "https://canvas.other.edu";
    });
    EXPECT_EQ(open("https://canvas.other.edu/courses/1"), "https://canvas.other.edu/courses/1");
    EXPECT_EQ(open("https://canvas.test/courses/1"), "nothing") << "the replaced host";
    EXPECT_EQ(open("https://learn.test/pl/x"), "nothing") << "a site without an address";
    EXPECT_EQ(store->lineStatus(), store->canvasStatus()) << "the line speaks of the site in use";

    store->update([](Database& db) { db.settings.assessmentBaseURL = "http://127.0.0.1:8080/"; });
    EXPECT_EQ(open("http://127.0.0.1:8080/pl/x"), "http://127.0.0.1:8080/pl/x") << "this computer over http";
    EXPECT_EQ(open("http://127.0.0.2:8080/pl/x"), "nothing");
    EXPECT_EQ(store->lineStatus(), store->status());

    store->update([](Database& db) { db.settings.canvasBaseURL = db.settings.assessmentBaseURL = ""; });
    EXPECT_EQ(store->lineStatus(), Store::noSitesStatus);
    EXPECT_EQ(store->db().settings.courses.size(), 3u) << "changing an address deletes nothing";
}
