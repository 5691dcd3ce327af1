#include "app/AppDelegate.h"
#include "app/QtScheduler.h"
#include "app/SingleInstance.h"
#include "app/StatusItem.h"
#include "app/StripPreference.h"
#include "model/StateFile.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>

#include <string>
#include <vector>

namespace {

// Wayland compositors do not let a client place its own window; XWayland does, so the strip can
// sit at the top edge.
void preferPlaceableWindows()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsEmpty("DISPLAY"))
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
    switch (instance.claim(QApplication::arguments())) {
    case vantory::SingleInstance::Claim::owner:
        break;
    case vantory::SingleInstance::Claim::handedOver:
        return 0;
    case vantory::SingleInstance::Claim::ownerUnreachable:
        return 1;
    }

    vantory::QtScheduler scheduler;
    vantory::AppDelegate delegate(stateFile, scheduler);
    QObject::connect(
        &instance, &vantory::SingleInstance::activationRequested, &delegate, &vantory::AppDelegate::activate);
    delegate.start();

    // ~/.config/Vantory/Vantory.conf: how the item shows is the desktop's business, not the state file's.
    QSettings display(QStringLiteral("Vantory"), QStringLiteral("Vantory"));
    vantory::StatusItem* item = delegate.item();
    item->setStripWanted(vantory::StripPreference::stripWanted(QApplication::arguments(), display));
    QObject::connect(
        &instance, &vantory::SingleInstance::activationRequested, item, [item, &display](const QStringList& arguments) {
            item->setStripWanted(vantory::StripPreference::stripWanted(arguments, display));
        });
    return QApplication::exec();
}
