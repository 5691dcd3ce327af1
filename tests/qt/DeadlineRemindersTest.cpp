#include "app/DeadlineReminders.h"

#include "app/DesktopNotifications.h"
#include "model/StateFile.h"
#include "store/Store.h"

#include "support/ManualScheduler.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace vantory;
using namespace std::chrono_literals;

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString servicePath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

// A notification service on its own connection to the private session bus, registered as
// org.freedesktop.Notifications. Its calls and replies go through the bus like a real server's,
// so nothing waits on itself.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString appName;
        uint replaces;
        QString icon, summary, body;
        QStringList actions;
        QVariantMap hints;
        int timeout;
        QString headline() const { return body.section(QLatin1Char('\n'), 0, 0); }
    };

    explicit FakeNotificationServer(QDBusConnection bus)
        : bus_(std::move(bus))
    {
    }

    bool start()
    {
        return bus_.registerObject(servicePath, this, QDBusConnection::ExportAllSlots) && bus_.registerService(service);
    }

    void stop()
    {
        bus_.unregisterService(service);
        bus_.unregisterObject(servicePath);
    }

    void emitSignal(const char* name, const QVariantList& arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(servicePath, service, QString::fromLatin1(name));
        signal.setArguments(arguments);
        bus_.send(signal);
    }

    std::vector<Call> calls;

public Q_SLOTS:
    // As servers do: a known replaces_id keeps its id, anything else gets a new one.
    uint Notify(const QString& appName, uint replaces, const QString& icon, const QString& summary, const QString& body,
        const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        calls.push_back({appName, replaces, icon, summary, body, actions, hints, timeout});
        return replaces != 0 && replaces < nextID_ ? replaces : nextID_++;
    }

    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    QDBusConnection bus_;
    uint nextID_ = 41;
};

// Answers Notify with text where the protocol has a number, after running whatever the test asks.
class MalformedNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public Q_SLOTS:
    QString Notify(const QString&, uint, const QString&, const QString&, const QString&, const QStringList&,
        const QVariantMap&, int)
    {
        ++calls;
        if (beforeAnswer)
            beforeAnswer();
        return QStringLiteral("7");
    }

public:
    int calls = 0;
    std::function<void()> beforeAnswer;
};

namespace {

// Wednesday 2025-10-15 20:00 in Vancouver; the quiz is due at 23:59 the next day.
const Instant start = instantFromSeconds(1760583600);
const Instant deadline = instantFromSeconds(1760684340);

int warnings = 0;

void countWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("Vantory: no desktop notification shown")))
        ++warnings;
}

class DeadlineRemindersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Registering as the desktop's notification service is for a private bus only.
        if (qEnvironmentVariable("VANTORY_PRIVATE_BUS") != QLatin1String("1"))
            GTEST_SKIP() << "needs a private session bus: ctest runs it under dbus-run-session";
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
        ASSERT_TRUE(serverBus.isConnected());
    }

    void TearDown() override
    {
        server.stop();
        QDBusConnection::disconnectFromBus(serverBus.name());
    }

    // Items due at the deadline: the quiz, one done and one hidden; one course, the leads chosen.
    // Then a fresh start over that file: a new Store and new reminders on the session bus.
    void launch(std::optional<std::vector<std::int64_t>> leads = {})
    {
        if (leads) {
            Database db;
            db.settings.courses = {{.id = "c", .name = "313"}};
            db.settings.reminderMinutes = std::move(leads);
            for (const char* id : {"done", "hidden", "q"})
                db.assessments.push_back({.id = id,
                    .courseID = "c",
                    .title = "Quiz 3",
                    .category = "Quiz",
                    .url = "https://learn.test/pl/" + std::string(id),
                    .due = deadline});
            db.overrides = {{"done", {.completed = true}}, {"hidden", {.hidden = true}}};
            db.settings.normalize();
            StateFile(folder / "state.json").save(db);
        }
        reminders.reset();
        store = std::make_unique<Store>(folder / "state.json", scheduler.now());
        store->openURL = [this](const std::string& url) { opened.push_back(url); };
        reminders = std::make_unique<DeadlineReminders>(
            *store, scheduler, std::make_unique<DesktopNotifications>(QDBusConnection::sessionBus()));
    }

    // Waits until every notification asked for has its answer and the answer is handled.
    void settle()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return reminders->awaiting() == 0; }, 5000));
    }

    // Whether the service received its n-th call; settled after.
    bool received(std::size_t n)
    {
        const bool arrived = QTest::qWaitFor([&] { return server.calls.size() == n; }, 5000);
        settle();
        return arrived;
    }

    // A round trip to the service: everything the application sent before has reached it.
    void reachServer()
    {
        QDBusPendingCallWatcher watcher(QDBusConnection::sessionBus().asyncCall(
            QDBusMessage::createMethodCall(service, servicePath, service, QStringLiteral("GetCapabilities"))));
        EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.isFinished(); }, 5000));
        QCoreApplication::processEvents();
    }

    std::optional<ShownReminder> shown() const
    {
        const auto saved = StateFile(folder / "state.json").load();
        if (!saved || !saved->reminders || !saved->reminders->contains("q"))
            return std::nullopt;
        return saved->reminders->at("q");
    }

    test::SiteScope sites;
    test::TemporaryFolder folder;
    test::ManualScheduler scheduler{start};
    QDBusConnection serverBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("server"));
    FakeNotificationServer server{serverBus};
    std::unique_ptr<Store> store;
    std::unique_ptr<DeadlineReminders> reminders;
    std::vector<std::string> opened;
};

} // namespace

TEST_F(DeadlineRemindersTest, ShowsEachLeadOnceAndReplacesTheItemsEarlierNotification)
{
    ASSERT_TRUE(server.start());
    launch({{1440, 60}});
    reachServer();
    EXPECT_TRUE(server.calls.empty()) << "the day-before lead is still 3h59m away";
    EXPECT_EQ(reminders->nextReminder(), deadline - 24h);

    // Only the quiz: the done and the hidden item would arrive with it.
    scheduler.advance(deadline - 24h - start);
    ASSERT_TRUE(received(1));
    const FakeNotificationServer::Call& first = server.calls[0];
    EXPECT_EQ(first.appName, QStringLiteral("Vantory"));
    EXPECT_EQ(first.icon, QStringLiteral("vantory"));
    EXPECT_EQ(first.replaces, 0u);
    EXPECT_EQ(first.summary, QStringLiteral("313 · Quiz 3"));
    EXPECT_EQ(first.body, QStringLiteral("마감까지 1d 0h0m 남았어요\n10월 16일 (목) 23:59 GMT-7"));
    EXPECT_EQ(first.actions,
        (QStringList{QStringLiteral("default"), QStringLiteral("과제 페이지 열기"), QStringLiteral("open"),
            QStringLiteral("과제 페이지 열기"), QStringLiteral("done"), QStringLiteral("완료 처리")}));
    EXPECT_EQ(first.hints.value(QStringLiteral("urgency")), QVariant::fromValue<uchar>(1));
    EXPECT_EQ(first.hints.value(QStringLiteral("urgency")).metaType(), QMetaType::fromType<uchar>());
    EXPECT_EQ(first.timeout, -1);
    EXPECT_EQ(shown(), (ShownReminder{deadline, 1440}));

    // The last lead takes the place of the first notification, as critical.
    scheduler.advance(23h);
    ASSERT_TRUE(received(2));
    EXPECT_EQ(server.calls[1].replaces, 41u);
    EXPECT_EQ(server.calls[1].hints.value(QStringLiteral("urgency")), QVariant::fromValue<uchar>(2));
    EXPECT_EQ(server.calls[1].headline(), QStringLiteral("마감까지 1h0m 남았어요"));
    EXPECT_EQ(shown(), (ShownReminder{deadline, 60}));
    EXPECT_EQ(reminders->nextReminder(), std::nullopt);

    // Closed by the user: the next reminder of the item is a new notification.
    server.emitSignal("NotificationClosed", {41u, 2u});
    reachServer(); // its answer comes after the signal
    store->override(store->db().assessments.back(), [](UserOverride& o) { o.due = deadline + 2h; });
    ASSERT_TRUE(received(3));
    EXPECT_EQ(server.calls[2].replaces, 0u) << "a deadline moved later re-arms its reminders";
}

TEST_F(DeadlineRemindersTest, ActionsOpenThePageAndMarkTheItemDone)
{
    ASSERT_TRUE(server.start());
    scheduler.jump(deadline - 30min - start);
    launch({{60}});
    ASSERT_TRUE(received(1));

    // Another application's notification and an unknown action are not ours to act on.
    server.emitSignal("ActionInvoked", {40u, QStringLiteral("open")});
    server.emitSignal("ActionInvoked", {41u, QStringLiteral("archive")});
    server.emitSignal("ActionInvoked", {41u, QStringLiteral("open")});
    ASSERT_TRUE(QTest::qWaitFor([this] { return !opened.empty(); }, 5000));
    EXPECT_EQ(opened, std::vector<std::string>{"https://learn.test/pl/q"});
    server.emitSignal("ActionInvoked", {41u, QStringLiteral("default")});
    ASSERT_TRUE(QTest::qWaitFor([this] { return opened.size() == 2; }, 5000));

    server.emitSignal("ActionInvoked", {41u, QStringLiteral("done")});
    ASSERT_TRUE(QTest::qWaitFor([this] { return store->db().overrides.contains("q"); }, 5000));
    EXPECT_TRUE(StateFile(folder / "state.json").load()->overrides.at("q").completed);

    // A signal of the same shape from a client that is not the service is ignored, and so is an
    // action of a notification that has closed.
    QDBusConnection intruder = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("intruder"));
    QDBusMessage forged = QDBusMessage::createSignal(servicePath, service, QStringLiteral("ActionInvoked"));
    forged << 41u << QStringLiteral("open");
    intruder.send(forged);
    intruder.interface()->isServiceRegistered(service); // routed by now
    reachServer();
    EXPECT_EQ(opened.size(), 2u);
    server.emitSignal("NotificationClosed", {41u, 3u});
    server.emitSignal("ActionInvoked", {41u, QStringLiteral("open")});
    reachServer();
    EXPECT_EQ(opened.size(), 2u);
    QDBusConnection::disconnectFromBus(intruder.name());
}

TEST_F(DeadlineRemindersTest, NothingRepeatsAfterARestart)
{
    ASSERT_TRUE(server.start());
    scheduler.jump(deadline - 2h - start);
    launch({{1440, 180, 60}});
    ASSERT_TRUE(received(1));
    EXPECT_EQ(server.calls[0].headline(), QStringLiteral("마감까지 2h0m 남았어요"))
        << "of two leads passed while not running, one notification";
    EXPECT_EQ(shown(), (ShownReminder{deadline, 180}));

    scheduler.jump(10min);
    launch();
    reachServer();
    EXPECT_EQ(server.calls.size(), 1u);
    EXPECT_EQ(reminders->nextReminder(), deadline - 1h);
}

TEST_F(DeadlineRemindersTest, WithoutAServiceNothingIsRecordedUntilOneAppears)
{
    qInstallMessageHandler(countWarnings);
    warnings = 0;
    scheduler.jump(deadline - 30min - start);
    launch({{60}});
    settle();
    store->update([](Database& db) { db.lastSync["c"] = deadline - 1h; }); // another evaluation, another failure
    settle();
    EXPECT_EQ(warnings, 1) << "logged once";
    EXPECT_EQ(shown(), std::nullopt);

    // A service that answers with the wrong type has not shown it. It hands over to a working one
    // before its answer comes, so the evaluation at the hand-over finds the reminder still waiting
    // for that answer and has to be repeated once it is in.
    MalformedNotificationServer malformed;
    malformed.beforeAnswer = [this] {
        server.stop();
        server.start();
    };
    ASSERT_TRUE(serverBus.registerObject(servicePath, &malformed, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serverBus.registerService(service));
    ASSERT_TRUE(received(1));
    EXPECT_EQ(malformed.calls, 1);
    EXPECT_EQ(shown(), (ShownReminder{deadline, 60}));
    EXPECT_EQ(warnings, 1);
    qInstallMessageHandler(nullptr);
}

#include "DeadlineRemindersTest.moc"
