#include "app/AppDelegate.h"
#include "app/QtScheduler.h"
#include "app/SingleInstance.h"
#include "model/StateFile.h"

#include <QApplication>
#include <QStandardPaths>

#include <string>
#include <vector>

namespace {

// Wayland compositors do not let a client place its own window; XWayland does, so the strip can
// sit at the top edge.
void preferPlaceableWindows()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

int main(int argc, char** argv)
{
    preferPlaceableWindows();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantory"));
    QApplication::setQuitOnLastWindowClosed(false);

    const std::vector<std::string> arguments(argv, argv + argc);
    const auto stateFile = vantory::StateFile::location(
        arguments, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString());

    vantory::SingleInstance instance(stateFile);
    if (!instance.claim(QApplication::arguments()))
        return 0;

    vantory::QtScheduler scheduler;
    vantory::AppDelegate delegate(stateFile, scheduler);
    QObject::connect(&instance, &vantory::SingleInstance::activationRequested, &delegate, &vantory::AppDelegate::activate);
    delegate.start();
    return QApplication::exec();
}
