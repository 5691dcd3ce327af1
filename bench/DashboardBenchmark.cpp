// SPDX-License-Identifier: GPL-3.0-or-later
// The dashboard at each item count given (default 1,000): building and painting it, a filter change
// and a day selection, each the median of repeated runs, in wall time and in this thread's CPU time
// (which other work on a shared machine disturbs less).
// Run by hand: vantory-dashboard-bench [items...].
#include "model/Dates.h"
#include "store/Store.h"
#include "ui/Dashboard.h"
#include "ui/MonthCalendar.h"

#include "SampleDatabase.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using namespace vantory;

struct Timing {
    double wall = 0; // milliseconds
    double cpu = 0;
};

double threadCpuMilliseconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return double(time.tv_sec) * 1e3 + double(time.tv_nsec) / 1e6;
}

Timing median(int runs, const std::function<void()>& run)
{
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int index = 0; index < runs; ++index) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuMilliseconds();
        run();
        cpus.push_back(threadCpuMilliseconds() - cpuStart);
        walls.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

QToolButton* button(QWidget& screen, const QString& text)
{
    for (QToolButton* candidate : screen.findChildren<QToolButton*>()) {
        if (candidate->text() == text)
            return candidate;
    }
    std::abort();
}

void measure(std::size_t count)
{
    const Instant now = instantFromSeconds(1760554800);
    QTemporaryDir data;
    Store store(data.filePath(QStringLiteral("state.json")).toStdString(), now);
    store.update([&](Database& db) { db = sample::database(count, now); });

    const Timing build = median(15, [&] {
        Dashboard dashboard(store);
        dashboard.resize(440, 730);
        (void)dashboard.grab();
    });
    Dashboard dashboard(store);
    dashboard.resize(440, 730);
    dashboard.show();
    QApplication::processEvents();
    int flip = 0;
    const Timing filter = median(41, [&] {
        button(dashboard, (flip++ % 2) ? QStringLiteral("전체") : QStringLiteral("예정"))->click();
        dashboard.repaint();
    });
    const std::int64_t today = Dates::dayNumber(now, store.zone());
    const int day = static_cast<int>(today - dashboard.calendar()->month().firstDay) + 1;
    const Timing select = median(41, [&] {
        static_cast<QAbstractButton*>(dashboard.calendar()->dayButton(day + (flip++ % 2)))->click();
        dashboard.repaint();
    });
    std::printf("items %zu, wall (CPU) ms: build and paint %.1f (%.1f), filter change %.1f (%.1f), day selection "
                "%.1f (%.1f)\n",
        count, build.wall, build.cpu, filter.wall, filter.cpu, select.wall, select.cpu);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2)
        measure(1000);
    for (int index = 1; index < argc; ++index)
        measure(std::strtoul(argv[index], nullptr, 10));
    return 0;
}
