#include "app/LineService.h"

#include "app/AppDelegate.h"
#include "app/StatusItem.h"
#include "model/StateFile.h"
#include "status/BarLine.h"

#include "support/ManualScheduler.h"
#include "support/TemporaryFolder.h"

#include <QTest>
#include <QtDBus>

#include <gtest/gtest.h>
#include <memory>

using namespace vantory;

// Collects the PropertiesChanged signals a front end receives.
class PropertiesListener : public QObject {
    Q_OBJECT

public:
    std::vector<QVariantMap> changes;

public Q_SLOTS:
    void changed(const QString&, const QVariantMap& properties, const QStringList&) { changes.push_back(properties); }
};

namespace {

// 2026-12-06 20:00 UTC; one deadline an hour ahead.
const Instant start = instantFromSeconds(1796587200);

class LineServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Claiming app.vantory.Vantory is for a private bus only.
        if (qEnvironmentVariable("VANTORY_PRIVATE_BUS") != QLatin1String("1"))
            GTEST_SKIP() << "needs a private session bus: ctest runs it under dbus-run-session";
        Database db;
        db.settings.courses = {{"1", "313", true, 2026}};
        db.assessments.push_back(
            {.id = "1:A", .courseID = "1", .category = "Preclass", .due = start + std::chrono::hours(1)});
        db.settings.normalize();
        StateFile(folder / "state.json").save(db);
        delegate = std::make_unique<AppDelegate>(folder / "state.json", scheduler);
        delegate->start();
        ASSERT_TRUE(caller().isConnected());
    }

    void TearDown() override
    {
        delegate.reset();
        for (const QString& name : {QStringLiteral("front end"), QStringLiteral("second front end")})
            QDBusConnection::disconnectFromBus(name);
    }

    // A front end's own connection, as the shell has.
    static QDBusConnection caller(const QString& name = QStringLiteral("front end"))
    {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    }

    // Calls over the bus and waits for the answer, keeping the application's event loop running.
    static QDBusMessage call(const QString& member, const QVariantList& arguments = {},
        const QString& interface = QString::fromLatin1(LineService::interfaceName),
        const QDBusConnection& bus = caller())
    {
        QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(LineService::serviceName),
            QString::fromLatin1(LineService::objectPath), interface, member);
        message.setArguments(arguments);
        QDBusPendingCallWatcher watcher(bus.asyncCall(message));
        EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.isFinished(); }, 5000)) << member.toStdString();
        return watcher.reply();
    }

    static QVariant property(const char* name)
    {
        const QDBusMessage reply
            = call(QStringLiteral("Get"), {QString::fromLatin1(LineService::interfaceName), QString::fromLatin1(name)},
                QStringLiteral("org.freedesktop.DBus.Properties"));
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

    test::TemporaryFolder folder;
    test::ManualScheduler scheduler{start};
    std::unique_ptr<AppDelegate> delegate;
};

} // namespace

TEST_F(LineServiceTest, PublishesTheComposedLineAndAnnouncesOnlyWhatChanged)
{
    // The line's own texts are the core's test; here, which goes under which name.
    const StatusLine& line = delegate->lastLine();
    EXPECT_EQ(property("Text").toString().toStdString(), plainText(line.coloredLine));
    EXPECT_EQ(property("Markup").toString().toStdString(), pangoMarkup(line.coloredLine));
    EXPECT_EQ(property("Urgency").toString(), QStringLiteral("urgent"));
    EXPECT_EQ(property("ToolTip").toString().toStdString(), plainTooltip(line));

    PropertiesListener listener;
    ASSERT_TRUE(caller().connect(QString::fromLatin1(LineService::serviceName),
        QString::fromLatin1(LineService::objectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"), &listener, SLOT(changed(QString, QVariantMap, QStringList))));
    call(QStringLiteral("Ping"), {}, QStringLiteral("org.freedesktop.DBus.Peer")); // the match rule is in place

    delegate->updateStatus(); // nothing changed: nothing announced
    scheduler.advance(std::chrono::minutes(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listener.changes.empty(); }, 5000));
    call(QStringLiteral("Ping"), {}, QStringLiteral("org.freedesktop.DBus.Peer"));
    ASSERT_EQ(listener.changes.size(), 1u);
    const QVariantMap& changed = listener.changes.front();
    EXPECT_EQ(changed.value(QStringLiteral("Text")).toString().toStdString(), plainText(line.coloredLine));
    EXPECT_TRUE(changed.contains(QStringLiteral("Markup")));
    EXPECT_FALSE(changed.contains(QStringLiteral("Urgency")));
}

TEST_F(LineServiceTest, ChecksEveryCallAndRunsOnlyValidOnes)
{
    std::vector<QRect> anchors;
    int syncs = 0;
    delegate->popoverToggle = [&anchors](const QRect& anchor) { anchors.push_back(anchor); };
    delegate->store().sync = [&syncs] { ++syncs; };
    const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
    const QString ours = QString::fromLatin1(LineService::interfaceName);
    const struct {
        const char* member;
        QVariantList arguments;
        QString interface;
        const char* error; // none: a plain reply
    } calls[] = {
        {"ShowDashboard", {10, 20, 30, 40}, ours, nullptr},
        {"ShowDashboard", {10, 20, 0, 40}, ours, "org.freedesktop.DBus.Error.InvalidArgs"},
        {"ShowDashboard", {2'000'000, 20, 30, 40}, ours, "org.freedesktop.DBus.Error.InvalidArgs"},
        {"ShowDashboard", {10, 20, 30, 200'000}, ours, "org.freedesktop.DBus.Error.InvalidArgs"},
        {"ShowDashboard", {QStringLiteral("10"), 20, 30, 40}, ours, "org.freedesktop.DBus.Error.InvalidArgs"},
        {"ShowDashboard", {10, 20, 30}, ours, "org.freedesktop.DBus.Error.InvalidArgs"},
        {"Refresh", {}, ours, nullptr},
        {"Refresh", {1}, ours, "org.freedesktop.DBus.Error.InvalidArgs"},
        {"Format", {}, ours, "org.freedesktop.DBus.Error.UnknownMethod"},
        {"Set", {ours, QStringLiteral("Text"), QVariant::fromValue(QDBusVariant(QStringLiteral("x")))}, properties,
            "org.freedesktop.DBus.Error.PropertyReadOnly"},
        {"Get", {ours, QStringLiteral("Password")}, properties, "org.freedesktop.DBus.Error.InvalidArgs"},
        {"Get", {QStringLiteral("org.example.Other"), QStringLiteral("Text")}, properties,
            "org.freedesktop.DBus.Error.InvalidArgs"},
    };
    for (const auto& c : calls) {
        const QDBusMessage reply = call(QString::fromLatin1(c.member), c.arguments, c.interface);
        EXPECT_EQ(
            reply.type() == QDBusMessage::ErrorMessage ? reply.errorName().toStdString() : "", c.error ? c.error : "")
            << c.member << " " << reply.errorMessage().toStdString();
    }
    QTest::qWait(50); // the actions run from the event loop after their reply
    EXPECT_EQ(anchors, std::vector<QRect>{QRect(10, 20, 30, 40)});
    EXPECT_EQ(syncs, 1);
}

TEST_F(LineServiceTest, ARegisteredPanelHidesTheStripAndTrayUntilItLeavesOrUnregisters)
{
    StatusItem& item = *delegate->item();
    ASSERT_TRUE(QTest::qWaitFor([&] { return item.stripShown(); }, 5000));

    call(QStringLiteral("RegisterPanel"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !item.stripShown(); }, 5000)) << "hidden while the panel shows";
    QDBusConnection::disconnectFromBus(QStringLiteral("front end")); // the shell crashed
    EXPECT_TRUE(QTest::qWaitFor([&] { return item.stripShown(); }, 5000)) << "back when the panel's owner left";

    const QDBusConnection second = caller(QStringLiteral("second front end"));
    call(QStringLiteral("RegisterPanel"), {}, QString::fromLatin1(LineService::interfaceName), second);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !item.stripShown(); }, 5000));
    call(QStringLiteral("UnregisterPanel"), {}, QString::fromLatin1(LineService::interfaceName), second);
    EXPECT_TRUE(QTest::qWaitFor([&] { return item.stripShown(); }, 5000)) << "back when the extension is disabled";
}

#include "LineServiceTest.moc"
