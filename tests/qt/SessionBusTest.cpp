// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"
#include "app/DeadlineReminders.h"
#include "app/DesktopNotifications.h"
#include "app/LineService.h"
#include "app/StatusItem.h"
#include "status/BarLine.h"

#include "support/ManualScheduler.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QSettings>
#include <QTest>
#include <QtDBus>

#include <gtest/gtest.h>

#include "desktop/DesktopColorScheme.h"
#include "desktop/DesktopMotion.h"
#include "desktop/PortalSettings.h"
#include "desktop/SchemePalettes.h"

using namespace vantory;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

const QString notifications = QStringLiteral("org.freedesktop.Notifications");
const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString line = QString::fromLatin1(LineService::interfaceName);

QDBusMessage notificationSignal(const char* name)
{
    return QDBusMessage::createSignal(notificationsPath, notifications, QString::fromLatin1(name));
}

// Claiming the desktop's names is for a private bus only.
class BusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("VANTORY_PRIVATE_BUS") != QLatin1String("1"))
            GTEST_SKIP() << "needs a private session bus: ctest runs it under dbus-run-session";
    }

    test::TemporaryFolder folder;
};

// A notification service on its own connection; `malformed` runs once, answering Notify with text.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        uint replaces;
        QStringList texts; // application name, icon, summary, body
        QStringList actions;
        QVariantMap hints;
    };

    ~FakeNotificationServer() override { stop(), QDBusConnection::disconnectFromBus(bus.name()); }
    bool start()
    {
        return bus.registerObject(notificationsPath, this, QDBusConnection::ExportAllSlots)
            && bus.registerService(notifications);
    }
    void stop() { bus.unregisterService(notifications), bus.unregisterObject(notificationsPath); }

    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("server"));
    std::vector<Call> calls;
    std::function<void()> malformed;

public Q_SLOTS:
    // As servers do: a known replaces_id keeps its id, anything else gets a new one.
    void Notify(const QString& appName, uint replaces, const QString& icon, const QString& summary, const QString& body,
        const QStringList& actions, const QVariantMap& hints, int, const QDBusMessage& message)
    {
        message.setDelayedReply(true);
        if (malformed) {
            std::exchange(malformed, {})();
            bus.send(message.createReply(QStringLiteral("7")));
            return;
        }
        calls.push_back({replaces, {appName, icon, summary, body}, actions, hints});
        bus.send(message.createReply(replaces != 0 && replaces < nextID_ ? replaces : nextID_++));
    }

    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    uint nextID_ = 41;
};

class PropertiesListener : public QObject {
    Q_OBJECT

public:
    std::vector<QVariantMap> changes;

public Q_SLOTS:
    void changed(const QString&, const QVariantMap& properties, const QStringList&) { changes.push_back(properties); }
};

// Wednesday 2025-10-15 20:00 in Vancouver; the quiz is due at 23:59 the next day.
const Instant deadline = instantFromSeconds(1760684340);

class DeadlineRemindersTest : public BusTest {
protected:
    // The quiz due at the deadline; the reminders `ahead` of it.
    void launch(std::vector<std::int64_t> leads, std::chrono::seconds ahead)
    {
        Database db;
        db.settings.courses = {{.id = "c", .name = "313"}};
        db.settings.reminderMinutes = std::move(leads);
        db.assessments
            = {{.id = "q", .courseID = "c", .title = "Quiz", .url = "https://learn.test/q", .due = deadline}};
        StateFile(folder / "state.json").save(db);
        scheduler.jump(deadline - ahead - scheduler.now());
        store = std::make_unique<Store>(folder / "state.json", scheduler.now());
        store->openURL = [this](const std::string& url) { opened.push_back(url); };
        reminders = std::make_unique<DeadlineReminders>(
            *store, scheduler, std::make_unique<DesktopNotifications>(QDBusConnection::sessionBus()));
    }

    bool received(std::size_t n)
    {
        const bool arrived = QTest::qWaitFor([&] { return server.calls.size() == n; }, 5000);
        EXPECT_TRUE(QTest::qWaitFor([this] { return reminders->awaiting() == 0; }, 5000));
        return arrived;
    }

    // Everything the application sent before has reached the service.
    static void reachServer()
    {
        QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(notifications, notificationsPath,
                                               notifications, QStringLiteral("GetCapabilities")),
            QDBus::BlockWithGui);
    }

    std::optional<ShownReminder> shown() const
    {
        const auto saved = StateFile(folder / "state.json").load();
        return saved && saved->reminders && saved->reminders->contains("q") ? std::optional(saved->reminders->at("q"))
                                                                            : std::nullopt;
    }

    std::pair<int, int> urgency(std::size_t call) const
    {
        const QVariant value = server.calls.at(call).hints.value(QStringLiteral("urgency"));
        return {value.typeId(), value.toInt()};
    }

    test::SiteScope sites;
    test::ManualScheduler scheduler{instantFromSeconds(1760583600)};
    FakeNotificationServer server;
    std::unique_ptr<Store> store;
    std::unique_ptr<DeadlineReminders> reminders;
    std::vector<std::string> opened;
};

TEST_F(DeadlineRemindersTest, ShowsEachLeadOnceReplacesTheEarlierNotificationAndActsOnlyOnItsOwnActions)
{
    ASSERT_TRUE(server.start());
    launch({1440, 60}, 27h);
    reachServer();
    EXPECT_TRUE(server.calls.empty());
    scheduler.advance(3h);
    ASSERT_TRUE(received(1));
    // The body is the core's; the actions' keys are what ActionInvoked brings back.
    const FakeNotificationServer::Call& first = server.calls[0];
    const QStringList actionKeys{first.actions.value(0), first.actions.value(2), first.actions.value(4)};
    EXPECT_EQ(std::tuple(first.replaces, first.texts.mid(0, 3) + actionKeys, urgency(0), shown()),
        std::tuple(0u, QStringList{u"Vantory"_s, u"vantory"_s, u"313 · Quiz"_s, u"default"_s, u"open"_s, u"done"_s},
            std::pair(int(QMetaType::UChar), 1), ShownReminder{deadline, 1440}));

    // The last lead takes the place of the first notification, as critical.
    scheduler.advance(23h);
    ASSERT_TRUE(received(2));
    EXPECT_EQ(std::tuple(server.calls[1].replaces, urgency(1), shown()),
        std::tuple(41u, std::pair(int(QMetaType::UChar), 2), ShownReminder{deadline, 60}));

    // Closed by the user: the next reminder of the item is a new notification.
    server.bus.send(notificationSignal("NotificationClosed") << 41u << 2u);
    reachServer(); // its answer comes after the signal
    store->override(store->db().assessments.back(), [](UserOverride& o) { o.due = deadline + 2h; });
    ASSERT_TRUE(received(3));
    EXPECT_EQ(server.calls[2].replaces, 0u);

    // Not ours to act on: another application's notification and an unknown action.
    const auto invoke = [&](uint id, const char* action) {
        server.bus.send(notificationSignal("ActionInvoked") << id << QString::fromLatin1(action));
    };
    for (const auto& [id, action] : {std::pair{40u, "open"}, {42u, "archive"}, {42u, "open"}, {42u, "default"}})
        invoke(id, action);
    ASSERT_TRUE(QTest::qWaitFor([this] { return opened.size() == 2; }, 5000));
    EXPECT_EQ(opened, (std::vector<std::string>{"https://learn.test/q", "https://learn.test/q"}));
    invoke(42, "done");
    ASSERT_TRUE(QTest::qWaitFor([this] { return store->db().overrides.at("q").completed; }, 5000));
    EXPECT_TRUE(StateFile(folder / "state.json").load()->overrides.at("q").completed);

    // Ignored: the same signal from a client that is not the service, and a closed notification's.
    QDBusConnection intruder = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("intruder"));
    intruder.send(notificationSignal("ActionInvoked") << 42u << QStringLiteral("open"));
    intruder.interface()->isServiceRegistered(notifications); // routed by now
    server.bus.send(notificationSignal("NotificationClosed") << 42u << 3u);
    invoke(42, "open");
    reachServer();
    EXPECT_EQ(opened.size(), 2u);
    QDBusConnection::disconnectFromBus(intruder.name());
}

TEST_F(DeadlineRemindersTest, WithoutAServiceNothingIsRecordedUntilOneAppears)
{
    launch({60}, 30min);
    EXPECT_TRUE(QTest::qWaitFor([this] { return reminders->awaiting() == 0; }, 5000) && !shown());

    // A wrong-typed answer shows nothing; the service hands over meanwhile, so it is evaluated again.
    server.malformed = [this] { server.stop(), server.start(); };
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(received(1));
    EXPECT_TRUE(!server.malformed && shown() == (ShownReminder{deadline, 60}));
}

// 2026-12-06 20:00 UTC; one deadline an hour ahead.
const Instant start = instantFromSeconds(1796587200);

class LineServiceTest : public BusTest {
protected:
    void SetUp() override
    {
        BusTest::SetUp();
        if (IsSkipped())
            return;
        Database db;
        db.settings.courses = {{"1", "313", true, 2026}};
        db.assessments.push_back({.id = "1:A", .courseID = "1", .category = "Preclass", .due = start + 1h});
        db.settings.normalize();
        StateFile(folder / "state.json").save(db);
        delegate = std::make_unique<AppDelegate>(folder / "state.json", scheduler);
        delegate->start();
        ASSERT_TRUE(caller().isConnected());
    }

    void TearDown() override
    {
        delegate.reset();
        for (const char* name : {"front end", "second front end"})
            QDBusConnection::disconnectFromBus(QString::fromLatin1(name));
    }

    static QDBusConnection caller(const char* name = "front end")
    {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QString::fromLatin1(name));
    }

    // Waits for the answer, keeping the application's event loop running.
    static QDBusMessage call(const char* member, const QVariantList& arguments = {}, const QString& interface = line,
        const QDBusConnection& bus = caller())
    {
        QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(LineService::serviceName),
            QString::fromLatin1(LineService::objectPath), interface, QString::fromLatin1(member));
        message.setArguments(arguments);
        return bus.call(message, QDBus::BlockWithGui, 5000);
    }

    static std::string property(const char* name)
    {
        const QDBusMessage reply = call("Get", {line, QString::fromLatin1(name)}, properties);
        return reply.arguments().value(0).value<QDBusVariant>().variant().toString().toStdString();
    }

    test::ManualScheduler scheduler{start};
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(LineServiceTest, ShowsTheStoredDeadlineArmsTheBoundaryAndRecomposesAfterEveryChange)
{
    EXPECT_EQ(std::tuple(delegate->lastLine().plainText, delegate->item()->length()),
        std::tuple("313 | Preclass (1h0m)", delegate->lastLine().width));
    EXPECT_NEAR(std::chrono::duration<double>(delegate->boundary().remaining()).count(), 0.05, 1e-6)
        << "a single deadline has no slot to end: its countdown, on a whole hour, changes at once";
    scheduler.jump(4h); // the overdue timers fire once, at once
    scheduler.advance({});
    EXPECT_EQ(delegate->lastLine().plainText, "313 | 예정된 마감 없음");
    delegate->store().override(
        delegate->store().db().assessments.front(), [&](UserOverride& o) { o.due = start + 7h; });
    EXPECT_EQ(delegate->lastLine().plainText, "313 | Preclass (3h0m)");
}

TEST_F(LineServiceTest, PublishesTheLineAnnouncesOnlyChangesAndARegisteredPanelHidesTheStrip)
{
    const StatusLine& shown = delegate->lastLine();
    EXPECT_EQ(std::tuple(property("Text"), property("Markup"), property("Urgency"), property("ToolTip")),
        std::tuple(plainText(shown.coloredLine), pangoMarkup(shown.coloredLine), "urgent", plainTooltip(shown)));

    PropertiesListener listener;
    ASSERT_TRUE(caller().connect(QString::fromLatin1(LineService::serviceName),
        QString::fromLatin1(LineService::objectPath), properties, QStringLiteral("PropertiesChanged"), &listener,
        SLOT(changed(QString, QVariantMap, QStringList))));
    call("Ping", {}, QStringLiteral("org.freedesktop.DBus.Peer")); // the match rule is in place

    delegate->updateStatus(); // nothing changed: nothing announced
    scheduler.advance(1min);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listener.changes.empty(); }, 5000));
    call("Ping", {}, QStringLiteral("org.freedesktop.DBus.Peer"));
    ASSERT_EQ(listener.changes.size(), 1u);
    const QVariantMap& changed = listener.changes.front();
    EXPECT_EQ(changed.value(QStringLiteral("Text")).toString().toStdString(), plainText(shown.coloredLine));
    EXPECT_TRUE(changed.contains(QStringLiteral("Markup")) && !changed.contains(QStringLiteral("Urgency")));

    StatusItem& item = *delegate->item();
    const auto strip = [&](bool on) { return QTest::qWaitFor([&] { return item.stripShown() == on; }, 5000); };
    ASSERT_TRUE(strip(true));
    call("RegisterPanel");
    EXPECT_TRUE(strip(false)) << "hidden while the panel shows";
    QDBusConnection::disconnectFromBus(QStringLiteral("front end")); // the shell crashed
    EXPECT_TRUE(strip(true)) << "back when the panel's owner left";

    const QDBusConnection second = caller("second front end");
    call("RegisterPanel", {}, line, second);
    EXPECT_TRUE(strip(false));
    call("UnregisterPanel", {}, line, second);
    EXPECT_TRUE(strip(true)) << "back when the extension is disabled";
}

TEST_F(LineServiceTest, ChecksEveryCallAndRunsOnlyValidOnes)
{
    std::vector<QRect> anchors;
    int syncs = 0, closes = 0;
    delegate->popoverToggle = [&anchors](const QRect& anchor) { anchors.push_back(anchor); };
    delegate->lineService()->closeDashboard = [&closes] { ++closes; };
    delegate->store().sync = [&syncs] { ++syncs; };
    const std::string invalid = "org.freedesktop.DBus.Error.InvalidArgs";
    const std::tuple<const char*, QVariantList, QString, std::string> calls[]
        = {{"ShowDashboard", {10, 20, 30, 40}, line, ""}, {"ShowDashboard", {10, 20, 0, 40}, line, invalid},
            {"ShowDashboard", {2'000'000, 20, 30, 40}, line, invalid},
            {"ShowDashboard", {10, 20, 30, 200'000}, line, invalid},
            {"ShowDashboard", {QStringLiteral("10"), 20, 30, 40}, line, invalid},
            {"ShowDashboard", {10, 20, 30}, line, invalid}, {"CloseDashboard", {}, line, ""},
            {"CloseDashboard", {1}, line, invalid}, {"Refresh", {}, line, ""}, {"Refresh", {1}, line, invalid},
            {"Format", {}, line, "org.freedesktop.DBus.Error.UnknownMethod"},
            {"Set", {line, QStringLiteral("Text"), QVariant::fromValue(QDBusVariant(QStringLiteral("x")))}, properties,
                "org.freedesktop.DBus.Error.PropertyReadOnly"},
            {"Get", {line, QStringLiteral("Password")}, properties, invalid},
            {"Get", {QStringLiteral("org.example.Other"), QStringLiteral("Text")}, properties, invalid}};
    for (const auto& [member, arguments, interface, error] : calls) {
        const QDBusMessage reply = call(member, arguments, interface);
        EXPECT_EQ(reply.type() == QDBusMessage::ErrorMessage ? reply.errorName().toStdString() : "", error)
            << member << " " << reply.errorMessage().toStdString();
    }
    QTest::qWait(50); // the actions run from the event loop after their reply
    EXPECT_EQ(std::tuple(anchors, closes, syncs), std::tuple(std::vector<QRect>{QRect(10, 20, 30, 40)}, 1, 1));
}

// The desktop's settings portal on its own connection, as far as it announces changes. (Its Read
// cannot answer a blocking call from this thread: the real one is read in the GNOME desktop test.)
class FakeSettingsPortal {
public:
    ~FakeSettingsPortal() { QDBusConnection::disconnectFromBus(bus.name()); }
    bool start() { return bus.registerService(PortalSettings::service); }
    void announce(const QVariantList& arguments)
    {
        QDBusMessage signal
            = QDBusMessage::createSignal(PortalSettings::path, PortalSettings::interface, u"SettingChanged"_s);
        signal.setArguments(arguments);
        bus.send(signal);
    }

    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal"));
};

class DesktopColorSchemeTest : public BusTest { };

TEST_F(DesktopColorSchemeTest, FollowsThePortalsAnnouncementsOfTheRightShape)
{
    FakeSettingsPortal portal;
    ASSERT_TRUE(portal.start());
    QSettings preferences(QString::fromStdString((folder / "Vantory.conf").string()), QSettings::IniFormat);
    DesktopColorScheme scheme(preferences);
    scheme.followDesktop();
    const auto dark = [] { return SchemePalettes::isDark(QApplication::palette()); };
    const QString appearance = u"org.freedesktop.appearance"_s, key = u"color-scheme"_s;
    portal.announce({appearance, key, QVariant::fromValue(QDBusVariant(1u))});
    EXPECT_TRUE(QTest::qWaitFor(dark, 5000)) << "announced";
    portal.announce({appearance, key, QVariant::fromValue(QDBusVariant(2u)), u"more"_s});
    QTest::qWait(100);
    EXPECT_TRUE(dark()) << "a signal of another shape is dropped";
    SchemePalettes::apply(std::nullopt);
}

class DesktopMotionTest : public BusTest { };

// Read once, then followed: a transition never waits on the bus for the setting.
TEST_F(DesktopMotionTest, FollowsThePortalsAnimationSwitch)
{
    FakeSettingsPortal portal;
    ASSERT_TRUE(portal.start());
    EXPECT_FALSE(DesktopMotion::reduced()) << "no answer counts as animations on";
    const QString group = u"org.gnome.desktop.interface"_s, key = u"enable-animations"_s;
    portal.announce({group, key, QVariant::fromValue(QDBusVariant(false))});
    EXPECT_TRUE(QTest::qWaitFor([] { return DesktopMotion::reduced(); }, 5000));
    portal.announce({group, key, QVariant::fromValue(QDBusVariant(true))});
    EXPECT_TRUE(QTest::qWaitFor([] { return !DesktopMotion::reduced(); }, 5000));
}

} // namespace

#include "SessionBusTest.moc"
