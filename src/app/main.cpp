// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"
#include "app/BarFollower.h"
#include "app/CommandLine.h"
#include "app/QtScheduler.h"
#include "app/QuitOnSignals.h"
#include "app/ScreenOpener.h"
#include "app/SingleInstance.h"
#include "app/StatusItem.h"
#include "app/StripPreference.h"
#include "connection/PageScripts.h"
#include "connection/RemoteWebHost.h"
#include "connection/SiteConnections.h"
#include "model/Sites.h"
#include "model/StateFile.h"
#include "store/SiteChoice.h"
#include "ui/Dashboard.h"
#include "ui/FirstLaunch.h"
#include "ui/KeyboardConventions.h"
#include "ui/SettingsScreen.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>

#include <csignal>
#include <iostream>
#include <string>
#include <unistd.h>
#include <variant>
#include <vector>

#include "calendarsync/CalendarServerSync.h"
#include "desktop/DesktopColorScheme.h"
#include "desktop/DesktopLanguage.h"
#include "desktop/ReadablePalette.h"

namespace {

// Wayland compositors do not let a client place its own window; XWayland does, so the strip can
// sit at the top edge. Qt tries the platforms in order, so an XWayland that cannot be reached (no
// cookie, not started yet) leaves the application on Wayland instead of ending it.
void preferPlaceableWindows()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

// VANTORY_ASSESSMENT_URL and VANTORY_CANVAS_URL point a run at other copies of the sites, whatever
// the settings say.
vantory::Sites sitesFromEnvironment()
{
    vantory::Sites sites{};
    for (auto [name, url] : {std::pair{"VANTORY_ASSESSMENT_URL", &sites.assessmentBaseURL},
             std::pair{"VANTORY_CANVAS_URL", &sites.canvasBaseURL}}) {
        QString value = qEnvironmentVariable(name);
        while (value.endsWith(QLatin1Char('/')))
            value.chop(1);
        if (!value.isEmpty())
            *url = value.toStdString();
    }
    return sites;
}

std::filesystem::path stateFileLocation(const vantory::CommandLine& options)
{
    return vantory::StateFile::location(
        options.dataDirectory, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString());
}

// vantory --bar: no display, no window, no single-instance claim; it only reads the state file.
int runBar(int argc, char** argv, const vantory::CommandLine& options)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vantory"));
    // A bar that closes the pipe ends the follower through a failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    QSettings display(QStringLiteral("Vantory"), QStringLiteral("Vantory"));
    const vantory::DesktopLanguage language(display);
    vantory::QtScheduler scheduler;
    vantory::BarFollower follower(
        stateFileLocation(options), options.bar, scheduler, &vantory::BarFollower::writeToStandardOutput);
    if (options.once)
        return follower.printOnce() ? 0 : 1;
    follower.follow([] { QCoreApplication::exit(0); });
    follower.stopWhenPipeCloses(STDOUT_FILENO);
    return QCoreApplication::exec();
}

int runApplication(int argc, char** argv, const vantory::CommandLine& options)
{
    preferPlaceableWindows();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantory"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("app.vantory.Vantory"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vantory")));
    vantory::keepApplicationPaletteReadable();
    const vantory::KeyboardConventions keyboard;
    vantory::quitOnTerminationSignals();

    const auto stateFile = stateFileLocation(options);
    vantory::SingleInstance instance(stateFile);
    switch (instance.claim(QApplication::arguments())) {
    case vantory::SingleInstance::Claim::owner:
        break;
    case vantory::SingleInstance::Claim::handedOver:
        return 0;
    case vantory::SingleInstance::Claim::ownerUnreachable:
        return 1;
    }
    // ~/.config/Vantory/Vantory.conf: how the item and the screens show is the desktop's business,
    // not the state file's.
    QSettings display(QStringLiteral("Vantory"), QStringLiteral("Vantory"));
    vantory::DesktopColorScheme scheme(display);
    scheme.followDesktop();
    vantory::DesktopLanguage language(display);

    vantory::QtScheduler scheduler;
    vantory::AppDelegate delegate(stateFile, scheduler);
    const vantory::SiteChoice sites(delegate.store(), sitesFromEnvironment());
    // The web engine runs in its own process, started when a page is first needed.
    vantory::RemoteWebHost web(scheduler, QString::fromStdString((stateFile.parent_path() / "web").string()));
    vantory::SiteConnections connections(delegate.store(), web, scheduler, vantory::PageScripts::fromResources());
    vantory::CalendarServerSync calendarServer(delegate.store(), scheduler);
    QObject::connect(
        &instance, &vantory::SingleInstance::activationRequested, &delegate, &vantory::AppDelegate::activate);
    delegate.start();

    vantory::StatusItem* item = delegate.item();
    item->setStripWanted(vantory::StripPreference::stripWanted(QApplication::arguments(), display));
    QObject::connect(
        &instance, &vantory::SingleInstance::activationRequested, item, [item, &display](const QStringList& arguments) {
            item->setStripWanted(vantory::StripPreference::stripWanted(arguments, display));
        });

    const vantory::ScreenOpener::Screens screens{
        [](vantory::Store& store, vantory::ScreenOpener::EditOpener edit) {
            auto* dashboard = new vantory::Dashboard(store);
            dashboard->editRequested = [dashboard, edit](const vantory::Assessment& item) { edit(item, dashboard); };
            return dashboard;
        },
        [&scheme, &language](vantory::Store& store, bool colorOnly) {
            return new vantory::SettingsScreen(store, colorOnly,
                QString::fromUtf8(colorOnly ? vantory::SettingsTabs::courseColors : vantory::SettingsTabs::display),
                &scheme, &language);
        }};
    vantory::ScreenOpener opener(delegate, screens,
        {[&connections] { connections.assessment().login().show(); },
            [&connections] { connections.canvas().login().show(); }});
    opener.handleArguments(QApplication::arguments());
    QObject::connect(&language, &vantory::DesktopLanguage::changed, &opener, &vantory::ScreenOpener::reword);

    // A first launch, or one asked to, opens the sign-in (or the addresses); otherwise the schedule decides.
    vantory::FirstLaunch firstLaunch(delegate.store(), [&opener] { opener.showSchoolSites(); });
    firstLaunch.start(QApplication::arguments().contains(QStringLiteral("--login")));
    connections.syncIfDue();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const auto parsed = vantory::CommandLine::parse(arguments);
    if (const auto* error = std::get_if<vantory::CommandLine::UsageError>(&parsed)) {
        std::cerr << "vantory: " << error->message << '\n' << vantory::CommandLine::helpHint << '\n';
        return 2;
    }
    const auto& options = std::get<vantory::CommandLine>(parsed);
    switch (options.action) {
    case vantory::CommandLine::Action::help:
        std::cout << vantory::CommandLine::help();
        return 0;
    case vantory::CommandLine::Action::version:
        std::cout << "vantory " VANTORY_VERSION "\n";
        return 0;
    case vantory::CommandLine::Action::bar:
        return runBar(argc, argv, options);
    case vantory::CommandLine::Action::run:
        break;
    }
    return runApplication(argc, argv, options);
}
