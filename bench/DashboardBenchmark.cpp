// The dashboard with a thousand items: building and painting it, a filter change and a day
// selection, each the median of repeated runs. Run by hand: vantory-dashboard-bench [items].
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
#include <functional>
#include <vector>

namespace {

using namespace vantory;

double medianMilliseconds(int runs, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int index = 0; index < runs; ++index) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QToolButton* button(QWidget& screen, const QString& text)
{
    for (QToolButton* candidate : screen.findChildren<QToolButton*>()) {
        if (candidate->text() == text)
            return candidate;
    }
    std::abort();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000;
    const Instant now = instantFromSeconds(1760554800);
    QTemporaryDir data;
    Store store(data.filePath(QStringLiteral("state.json")).toStdString(), now);
    store.update([&](Database& db) { db = sample::database(count, now); });

    const double build = medianMilliseconds(15, [&] {
        Dashboard dashboard(store);
        dashboard.resize(440, 730);
        (void)dashboard.grab();
    });
    Dashboard dashboard(store);
    dashboard.resize(440, 730);
    dashboard.show();
    QApplication::processEvents();
    int flip = 0;
    const double filter = medianMilliseconds(41, [&] {
        button(dashboard, (flip++ % 2) ? QStringLiteral("전체") : QStringLiteral("예정"))->click();
        dashboard.repaint();
    });
    const std::int64_t today = Dates::dayNumber(now, store.zone());
    const int day = static_cast<int>(today - dashboard.calendar()->month().firstDay) + 1;
    const double select = medianMilliseconds(41, [&] {
        static_cast<QAbstractButton*>(dashboard.calendar()->dayButton(day + (flip++ % 2)))->click();
        dashboard.repaint();
    });
    std::printf("items %zu: build and paint %.1f ms, filter change %.1f ms, day selection %.1f ms\n", count, build,
        filter, select);
    return 0;
}
