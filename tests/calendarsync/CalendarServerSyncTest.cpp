// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendarsync/CalendarServerSync.h"

#include "calendar/CalendarFile.h"
#include "calendar/ICalendar.h"
#include "model/SiteAddress.h"

#include "FaultyProxy.h"
#include "support/ManualScheduler.h"
#include "support/TemporaryFolder.h"

#include <QTest>

#include <gtest/gtest.h>

#include "../caldav/Await.h"
#include "../caldav/RadicaleSuite.h"

namespace vantory {
namespace {

using test::Radicale;

const Instant start = instantFromSeconds(1796630400); // 2026-12-07 08:00:00 UTC

// One computer: its state file, Store, clock and calendar sync, on a collection.
struct Computer {
    Computer(const QUrl& collection, int count)
        : store(folder / "state.json", start)
    {
        store.update([&](Database& db) {
            db.settings.courses = {Course{"c1", "미적분학"}};
            for (int index = 0; index < count; ++index) {
                const std::string number = std::to_string(index);
                db.assessments.push_back({.id = "item-" + number,
                    .courseID = "c1",
                    .title = "과제 " + number,
                    .category = "Quiz",
                    .due = start + std::chrono::hours(24 * (index % 30 + 1)),
                    .checkedAt = start});
            }
            db.settings.calendarServerURL = collection.toString().toStdString();
            db.settings.calendarServerUser = Radicale::user;
        });
        sync.emplace(store, scheduler);
        store.keepCalendarPassword(Radicale::password, [](bool, std::string) {});
        finish();
    }
    ~Computer() { finish(); }

    void finish()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !sync->running(); }, 60'000));
    }
    // One run; the requests it sent.
    std::size_t run()
    {
        const std::size_t before = sync->requestsSent();
        sync->syncSoon();
        finish();
        return sync->requestsSent() - before;
    }
    void mark(const std::string& id, const std::function<void(UserOverride&)>& change)
    {
        scheduler.advance(std::chrono::seconds(5)); // a later second than anything before
        store.setNow(scheduler.now());
        store.override(*std::ranges::find(store.db().assessments, id, &Assessment::id), change);
    }
    const UserOverride& marks(const std::string& id) { return store.db().overrides.at(id); }
    const CalendarServerState& state() { return *store.db().calendarServer; }

    test::TemporaryFolder folder;
    test::ManualScheduler scheduler{start};
    Store store;
    std::optional<CalendarServerSync> sync;
};

class CalendarServerSyncTest : public test::RadicaleSuite {
protected:
    // The task texts on the server by UID.
    std::map<std::string, std::string> tasks()
    {
        const CalDavResult<CollectionTags> members = test::await(client.memberTags(collection));
        EXPECT_TRUE(members);
        std::vector<QUrl> hrefs;
        for (const ResourceTag& member : members->members)
            hrefs.push_back(member.href);
        const CalDavResult<MultigetAnswer> read = test::await(client.multiget(collection, hrefs));
        EXPECT_TRUE(read);
        std::map<std::string, std::string> byUid;
        for (const TaskResource& resource : read->resources) {
            const auto task = ICalendar::parse(resource.text.toStdString());
            byUid[task->component("VTODO")->property("UID")->value] = resource.text.toStdString();
        }
        return byUid;
    }
    std::string task(const std::string& id) { return tasks()[CalendarFile::uid(id)]; }
    TaskResource resource(const std::string& id)
    {
        const CalendarServerState state = *computer->store.db().calendarServer;
        const CalDavResult<TaskResource> read
            = test::await(client.get(QUrl(QString::fromStdString(state.tasks.at(id).href))));
        EXPECT_TRUE(read);
        return read ? *read : TaskResource{};
    }
    void phoneCompletes(const std::string& id)
    {
        EXPECT_TRUE(RadicaleSuite::phoneCompletes(QString::fromStdString(CalendarFile::uid(id))));
    }

    std::optional<Computer> computer;
};

bool has(const std::string& text, std::initializer_list<std::string_view> parts)
{
    return std::ranges::all_of(parts, [&](std::string_view part) { return text.find(part) != std::string::npos; });
}

TEST_F(CalendarServerSyncTest, UploadsEveryItemOnceThenSendsOnlyWhatChanged)
{
    computer.emplace(collection, 40);
    EXPECT_EQ(std::tuple(tasks().size(), computer->state().queue.empty(), computer->store.calendarServerProgress()),
        std::tuple(40u, true, std::nullopt));
    EXPECT_TRUE(computer->store.calendarServerStatus().starts_with("캘린더 서버 최근 동기화"));

    // Nothing new: the report of changes since the token (our own writes) and nothing else.
    EXPECT_EQ(computer->run(), 1u);

    // A mark goes out by itself a moment later: the report, the task's text and its update.
    computer->mark("item-7", [](UserOverride& marks) { marks.completed = true; });
    EXPECT_EQ(computer->state().queue, std::vector<std::string>{"item-7"});
    const std::size_t before = computer->sync->requestsSent();
    computer->scheduler.advance(CalendarServerSync::afterChange);
    computer->finish();
    EXPECT_EQ(computer->sync->requestsSent() - before, 3u);
    EXPECT_TRUE(has(task("item-7"), {"STATUS:COMPLETED"}) && computer->state().queue.empty());
}

TEST_F(CalendarServerSyncTest, APhonesCompletionReachesTheStoreAndItsNoteSurvivesOurUpdate)
{
    computer.emplace(collection, 5);
    phoneCompletes("item-2");
    TaskResource phone = resource("item-3");
    phone.text.replace("END:VTODO", "X-PHONE-NOTE:우유 사기\nEND:VTODO");
    ASSERT_TRUE(test::await(client.update(phone.href, phone.text, phone.etag)));

    computer->run();
    EXPECT_TRUE(computer->marks("item-2").completed);
    computer->mark("item-3", [](UserOverride& marks) { marks.hidden = true; });
    computer->run();
    EXPECT_TRUE(has(task("item-3"), {"X-PHONE-NOTE:우유 사기", "X-VANTORY-HIDDEN"}));
}

TEST_F(CalendarServerSyncTest, TwoComputersConvergeWithoutDuplicatesOrPingPong)
{
    computer.emplace(collection, 20);
    Computer other(collection, 20);
    EXPECT_EQ(tasks().size(), 20u);

    const Instant handSet = start + std::chrono::hours(100);
    other.mark("item-4", [](UserOverride& marks) { marks.completed = true; });
    other.mark("item-5", [&](UserOverride& marks) { marks.due = handSet; });
    other.run();
    computer->run();
    EXPECT_TRUE(computer->marks("item-4").completed && computer->marks("item-5").due == handSet);

    // Both say the same now: a run on either is the report alone.
    for (Computer* each : {&*computer, &other})
        EXPECT_EQ(each->run(), 1u);
    EXPECT_EQ(tasks().size(), 20u);
}

TEST_F(CalendarServerSyncTest, RecreatesADeletedTaskAndCancelsAnItemNoLongerListed)
{
    computer.emplace(collection, 4);
    ASSERT_TRUE(test::await(client.remove(resource("item-1").href, {})));
    computer->store.update([](Database& db) { db.assessments[2].missing = true; });
    computer->run();
    EXPECT_TRUE(has(task("item-1"), {"STATUS:NEEDS-ACTION"}) && has(task("item-2"), {"STATUS:CANCELLED"}));
    EXPECT_EQ(tasks().size(), 4u);
}

// The settings' hooks: the collections found from the bare address, a new one, and the reasons
// they fail; a password never goes to plain http on another computer.
TEST_F(CalendarServerSyncTest, TheSettingsHooksFindAndMakeCollections)
{
    computer.emplace(collection, 1);
    const auto check = [&](std::string address, std::string password) {
        std::optional<CalendarServerCheck> result;
        computer->store.checkCalendarServer({address, Radicale::user, password}, [&](auto found) { result = found; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 30'000));
        return result.value_or(CalendarServerCheck{});
    };
    const CalendarServerCheck found = check(server->url().toString().toStdString(), Radicale::password);
    EXPECT_TRUE(found.reached
        && std::ranges::count(found.collections, collection.toString().toStdString(), &CalendarCollection::address));
    EXPECT_EQ(check(server->url().toString().toStdString(), "wrong").text,
        calDavFailureText({CalDavFailure::Kind::unauthorized, 401}));
    const std::string plain = "http://cal.example.org/";
    EXPECT_EQ(check(plain, Radicale::password).text, SiteAddress::checkCollection(plain).problem);

    // Nothing waits for the next minute while the settings name no server.
    const std::size_t timers = computer->scheduler.pending();
    computer->store.update([](Database& db) { db.settings.calendarServerURL.reset(); });
    EXPECT_EQ(computer->scheduler.pending(), timers - 1);

    std::optional<std::string> created;
    computer->store.createCalendarCollection({{}, Radicale::user, Radicale::password}, found.home,
        [&](std::optional<std::string> address, std::string) { created = address.value_or("none"); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return created.has_value(); }, 30'000));
    EXPECT_TRUE(created->starts_with(found.home)) << *created;
}

// A phone checks the task off between our read and our write: the write meets 412, reads again,
// and both changes end on the server.
TEST_F(CalendarServerSyncTest, AWriteThatLosesTheRaceMergesAndTriesAgain)
{
    test::FaultyProxy proxy(server->url());
    computer.emplace(proxy.url(collection), 3);
    bool raced = false;
    proxy.setFault([&](const QByteArray& head) {
        if (!raced && head.startsWith("PUT") && head.toLower().contains("if-match")) {
            raced = true;
            phoneCompletes("item-1");
        }
        return QByteArray();
    });
    computer->mark("item-1", [](UserOverride& marks) { marks.hidden = true; });
    computer->run();
    EXPECT_TRUE(raced && computer->marks("item-1").completed && computer->state().queue.empty());
    EXPECT_TRUE(has(task("item-1"), {"STATUS:COMPLETED", "X-VANTORY-HIDDEN"}));
}

// The student sets a date while the merged task is being written: the run does not store its
// older marks over it, and the next run sends it with the phone's completion.
TEST_F(CalendarServerSyncTest, AMarkSetWhileARequestIsOutIsNotOverwritten)
{
    test::FaultyProxy proxy(server->url());
    computer.emplace(proxy.url(collection), 2);
    phoneCompletes("item-0");
    computer->mark("item-0", [](UserOverride& marks) { marks.hidden = true; });
    const Instant handSet = start + std::chrono::hours(30);
    bool dated = false;
    proxy.setFault([&](const QByteArray& head) {
        if (!dated && head.startsWith("PUT")) {
            dated = true;
            computer->mark("item-0", [&](UserOverride& marks) { marks.due = handSet; });
        }
        return QByteArray();
    });
    computer->run();
    ASSERT_TRUE(dated);
    EXPECT_EQ(computer->marks("item-0").due, handSet);
    computer->run();
    EXPECT_TRUE(computer->marks("item-0").completed && computer->state().queue.empty());
    EXPECT_TRUE(has(task("item-0"), {"X-VANTORY-DUE"}));
}

struct Failing {
    const char* name;
    QByteArray answer; // to every request from the n-th on
    int from;
    CalDavFailure failure;
};

void PrintTo(const Failing& failing, std::ostream* out)
{
    *out << failing.name;
}

class ServerFailureTest : public CalendarServerSyncTest, public ::testing::WithParamInterface<Failing> { };

QByteArray answer(const QByteArray& status)
{
    return "HTTP/1.1 " + status + "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
}

// A failure ends in its status and reason; the marks made meanwhile wait in the queue and go out,
// with every task, once the server answers again.
TEST_P(ServerFailureTest, EndsInItsReasonAndLosesNothing)
{
    test::FaultyProxy proxy(server->url());
    int requests = 0;
    proxy.setFault([&](const QByteArray&) { return ++requests >= GetParam().from ? GetParam().answer : QByteArray(); });
    computer.emplace(proxy.url(collection), 16);
    computer->mark("item-0", [](UserOverride& marks) { marks.completed = true; });
    computer->run();
    EXPECT_EQ(computer->store.calendarServerStatus(),
        GetParam().failure.kind == CalDavFailure::Kind::unauthorized
            ? "캘린더 서버 로그인 실패 · 비밀번호를 확인해 주세요"
            : "캘린더 서버 동기화 실패 · 기존 일정 유지");
    EXPECT_EQ(computer->store.calendarServerStatusReason(), calDavFailureText(GetParam().failure));
    EXPECT_EQ(std::tuple(computer->state().queue, computer->marks("item-0").completed),
        std::tuple(std::vector<std::string>{"item-0"}, true));

    proxy.setFault({});
    computer->run();
    EXPECT_TRUE(computer->store.calendarServerStatus().starts_with("캘린더 서버 최근 동기화"));
    EXPECT_TRUE(tasks().size() == 16 && has(task("item-0"), {"STATUS:COMPLETED"}) && computer->state().queue.empty());
}

using Kind = CalDavFailure::Kind;
INSTANTIATE_TEST_SUITE_P(Answers, ServerFailureTest,
    ::testing::Values(Failing{"Unauthorized", answer("401 Unauthorized"), 1, {Kind::unauthorized, 401}},
        Failing{"Forbidden", answer("403 Forbidden"), 1, {Kind::forbidden, 403}},
        Failing{"Gone", answer("404 Not Found"), 1, {Kind::notFound, 404}},
        Failing{"FullMidUpload", answer("507 Insufficient Storage"), 8, {Kind::insufficientStorage, 507}},
        Failing{"StopsMidUpload", test::FaultyProxy::closeConnection, 8, {Kind::network, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vantory
