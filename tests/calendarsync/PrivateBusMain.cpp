#include "support/TemporaryFolder.h"

#include <QCoreApplication>
#include <QProcess>

#include <fstream>
#include <gtest/gtest.h>

// A session bus of the test's own, with nothing to activate: no secret store answers on it, and
// nothing of the tests reaches the desktop's keyring.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const vantory::test::TemporaryFolder folder;
    const auto config = folder / "bus.conf";
    std::ofstream(config) << "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
                             "<policy context=\"default\"><allow send_destination=\"*\"/><allow own=\"*\"/><allow "
                             "receive_sender=\"*\"/></policy>"
                             "</busconfig>";
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
            QStringLiteral("--config-file=") + QString::fromStdString(config.string())});
    if (!bus.waitForReadyRead(10'000)) {
        std::fprintf(stderr, "dbus-daemon did not start\n");
        return 1;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
    const int result = RUN_ALL_TESTS();
    bus.terminate();
    bus.waitForFinished(5'000);
    return result;
}
