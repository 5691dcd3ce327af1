// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the calendar server's sync against a local Radicale: the first upload of many items,
// an incremental sync with a few changes among them (requests and time), and the main process's
// CPU time for a run with nothing to do, which the app makes once a minute.
//   vantory-calendar-sync-bench [items]
#include "support/ManualScheduler.h"
#include "support/TemporaryFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <sys/resource.h>

#include "../tests/caldav/Await.h"
#include "../tests/caldav/Radicale.h"
#include "calendarsync/CalendarServerSync.h"

using namespace vantory;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// `count` items of one course, due an hour apart over 500 hours, synced to `collection`.
void fill(Store& store, int count, const std::string& collection)
{
    const Instant start = store.now();
    store.update([&](Database& db) {
        db.settings.courses = {Course{"c1", "미적분학"}};
        for (int index = 0; index < count; ++index) {
            Assessment item;
            item.id = "item-" + std::to_string(index);
            item.courseID = "c1";
            item.title = "과제 " + std::to_string(index);
            item.category = "Quiz";
            item.due = start + std::chrono::hours(index % 500 + 1);
            item.checkedAt = start;
            db.assessments.push_back(item);
        }
        db.settings.calendarServerURL = collection;
        db.settings.calendarServerUser = test::Radicale::user;
    });
}

} // namespace

int main(int argc, char** argv)
{
    // Nothing of a benchmark goes into the desktop's keyring.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    QCoreApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const Instant start = instantFromSeconds(1796630400);

    test::Radicale server;
    CalDavClient client;
    client.setCredentials(QString::fromLatin1(test::Radicale::user), QString::fromLatin1(test::Radicale::password));
    const CalDavResult<CalendarDiscovery> found = test::await(client.discover(server.url()));
    const QString name = QStringLiteral("Vantory");
    const CalDavResult<QUrl> collection = test::await(client.createCollection(found->home, name));
    if (!collection)
        return 1;

    test::TemporaryFolder folder;
    test::ManualScheduler scheduler(start);
    Store store(folder / "state.json", start);
    fill(store, count, collection->toString().toStdString());
    CalendarServerSync sync(store, scheduler);
    const auto finish = [&] { (void)QTest::qWaitFor([&] { return !sync.running(); }, 600'000); };

    QElapsedTimer timer;
    timer.start();
    double cpu = cpuSeconds();
    store.keepCalendarPassword(test::Radicale::password, [](bool, std::string) {});
    finish();
    std::printf("first upload of %d items: %.2f s, %.2f s CPU here, %zu requests (%s)\n", count,
        double(timer.elapsed()) / 1000, cpuSeconds() - cpu, sync.requestsSent(), store.calendarServerStatus().c_str());

    for (const int changes : {1, 10, 100}) {
        for (int index = 0; index < changes; ++index) {
            store.setNow(store.now() + std::chrono::seconds(1));
            store.override(store.db().assessments[std::size_t(index * 7 % count)],
                [](UserOverride& marks) { marks.completed = !marks.completed; });
        }
        const std::size_t before = sync.requestsSent();
        timer.restart();
        cpu = cpuSeconds();
        sync.syncSoon();
        finish();
        std::printf("incremental sync, %d of %d changed: %zu requests, %lld ms, %.0f ms CPU here\n", changes, count,
            sync.requestsSent() - before, static_cast<long long>(timer.elapsed()), (cpuSeconds() - cpu) * 1000);
    }

    constexpr int idleRuns = 20;
    const std::size_t before = sync.requestsSent();
    cpu = cpuSeconds();
    timer.restart();
    for (int run = 0; run < idleRuns; ++run) {
        sync.syncSoon();
        finish();
    }
    std::printf("idle run (one a minute): %.1f ms CPU, %.1f ms wall, %.1f requests\n",
        (cpuSeconds() - cpu) * 1000 / idleRuns, double(timer.elapsed()) / idleRuns,
        double(sync.requestsSent() - before) / idleRuns);
    return 0;
}
