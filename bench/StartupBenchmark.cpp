// SPDX-License-Identifier: GPL-3.0-or-later
// Time from process start to the first status line drawn, for a given state folder:
//   vantory-startup-bench <folder>
// Builds the application as main() does (less the single-instance check, the connections and the screens), waits for
// the status view's first paint with text, and prints the milliseconds since the process started.
#include "app/AppDelegate.h"
#include "app/QtScheduler.h"
#include "app/StatusItem.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "desktop/DesktopColorScheme.h"
#include "desktop/StatusContentView.h"

namespace {

// Milliseconds between the process's start (from /proc) and now, both on the boot-time clock.
double millisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int index = 1; index <= 22 && stat >> field; ++index) { }
    const double startTicks = std::stod(field);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = static_cast<double>(now.tv_sec) * 1000 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* view = static_cast<vantory::StatusContentView*>(watched);
        if (event->type() == QEvent::Paint && !view->current().empty() && !reported) {
            reported = true;
            // Report after the paint has finished.
            QTimer::singleShot(0, qApp, [] {
                std::printf("first line drawn after %.1f ms\n", millisecondsSinceProcessStart());
                QApplication::quit();
            });
        }
        return false;
    }
    bool reported = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <state folder>\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QSettings display(QStringLiteral("Vantory"), QStringLiteral("Vantory"));
    vantory::DesktopColorScheme scheme(display);
    scheme.followDesktop();
    vantory::QtScheduler scheduler;
    vantory::AppDelegate delegate(std::filesystem::absolute(argv[1]) / "state.json", scheduler);
    FirstPaint firstPaint;
    delegate.start();
    delegate.item()->view()->installEventFilter(&firstPaint);
    return QApplication::exec();
}
