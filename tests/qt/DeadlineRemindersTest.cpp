#include "app/DeadlineReminders.h"

#include "app/DesktopNotifications.h"
#include "model/StateFile.h"
#include "store/Store.h"

#include "support/ManualScheduler.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QTest>
#include <QtDBus>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace vantory;
using namespace std::chrono_literals;

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString servicePath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

// A notification service on its own connection to the private session bus. Its calls and replies go
// through the bus like a real server's, so nothing waits on itself. Until `malformed` is cleared it
// answers Notify with text where the protocol has a number, after running it.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        uint replaces;
        QString appName, icon, summary, body;
        QStringList actions;
        QVariantMap hints;
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
    std::function<void()> malformed;

public Q_SLOTS:
    // As servers do: a known replaces_id keeps its id, anything else gets a new one.
    void Notify(const QString& appName, uint replaces, const QString& icon, const QString& summary, const QString& body,
        const QStringList& actions, const QVariantMap& hints, int, const QDBusMessage& message)
    {
        message.setDelayedReply(true);
        if (malformed) {
            std::exchange(malformed, {})();
            bus_.send(message.createReply(QStringLiteral("7")));
            return;
        }
        calls.push_back({replaces, appName, icon, summary, body, actions, hints});
        bus_.send(message.createReply(replaces != 0 && replaces < nextID_ ? replaces : nextID_++));
    }

    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    QDBusConnection bus_;
    uint nextID_ = 41;
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
        ASSERT_TRUE(serverBus.isConnected());
    }

    void TearDown() override
    {
        server.stop();
        QDBusConnection::disconnectFromBus(serverBus.name());
    }

    // The quiz due at the deadline, and a done and a hidden item beside it; then the reminders
    // over a Store of that file, `ahead` before the deadline.
    void launch(std::vector<std::int64_t> leads, std::chrono::seconds ahead)
    {
        Database db;
        db.settings.courses = {{.id = "c", .name = "313"}};
        db.settings.reminderMinutes = std::move(leads);
        for (const char* id : {"done", "hidden", "q"})
            db.assessments.push_back({.id = id,
                .courseID = "c",
                .title = "Quiz",
                .url = "https://learn.test/" + std::string(id),
                .due = deadline});
        db.overrides = {{"done", {.completed = true}}, {"hidden", {.hidden = true}}};
        StateFile(folder / "state.json").save(db);
        scheduler.jump(deadline - ahead - start);
        store = std::make_unique<Store>(folder / "state.json", scheduler.now());
        store->openURL = [this](const std::string& url) { opened.push_back(url); };
        reminders = std::make_unique<DeadlineReminders>(
            *store, scheduler, std::make_unique<DesktopNotifications>(QDBusConnection::sessionBus()));
    }

    // Whether the service received its n-th call, and the application handled every answer.
    bool received(std::size_t n)
    {
        const bool arrived = QTest::qWaitFor([&] { return server.calls.size() == n; }, 5000);
        EXPECT_TRUE(QTest::qWaitFor([this] { return reminders->awaiting() == 0; }, 5000));
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
        return saved && saved->reminders && saved->reminders->contains("q") ? std::optional(saved->reminders->at("q"))
                                                                            : std::nullopt;
    }

    uchar urgency(std::size_t call) const
    {
        const QVariant value = server.calls.at(call).hints.value(QStringLiteral("urgency"));
        EXPECT_EQ(value.metaType(), QMetaType::fromType<uchar>()) << "a byte, as the protocol has it";
        return value.value<uchar>();
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

// What is due when, and its text, is the core's test; here, what goes over the bus.
TEST_F(DeadlineRemindersTest, ShowsEachLeadOnceAndReplacesTheItemsEarlierNotification)
{
    ASSERT_TRUE(server.start());
    launch({1440, 60}, 27h);
    reachServer();
    EXPECT_TRUE(server.calls.empty());
    scheduler.advance(3h);
    ASSERT_TRUE(received(1)) << "only the quiz: the done and the hidden item would arrive with it";
    EXPECT_EQ(server.calls[0].replaces, 0u);
    EXPECT_EQ(QStringList({server.calls[0].appName, server.calls[0].icon, server.calls[0].summary}),
        (QStringList{QStringLiteral("Vantory"), QStringLiteral("vantory"), QStringLiteral("313 · Quiz")}));
    EXPECT_TRUE(server.calls[0].body.startsWith(QStringLiteral("마감까지 1d 0h0m 남았어요\n")));
    EXPECT_EQ(server.calls[0].actions,
        (QStringList{QStringLiteral("default"), QStringLiteral("과제 페이지 열기"), QStringLiteral("open"),
            QStringLiteral("과제 페이지 열기"), QStringLiteral("done"), QStringLiteral("완료 처리")}));
    EXPECT_EQ(urgency(0), 1);
    EXPECT_EQ(shown(), (ShownReminder{deadline, 1440}));

    // The last lead takes the place of the first notification, as critical.
    scheduler.advance(23h);
    ASSERT_TRUE(received(2));
    EXPECT_EQ(server.calls[1].replaces, 41u);
    EXPECT_EQ(urgency(1), 2);
    EXPECT_EQ(shown(), (ShownReminder{deadline, 60}));

    // Closed by the user: the next reminder of the item is a new notification.
    server.emitSignal("NotificationClosed", {41u, 2u});
    reachServer(); // its answer comes after the signal
    store->override(store->db().assessments.back(), [](UserOverride& o) { o.due = deadline + 2h; });
    ASSERT_TRUE(received(3));
    EXPECT_EQ(server.calls[2].replaces, 0u);
}

TEST_F(DeadlineRemindersTest, ActionsOpenThePageAndMarkTheItemDone)
{
    ASSERT_TRUE(server.start());
    launch({60}, 30min);
    ASSERT_TRUE(received(1));

    // Another application's notification and an unknown action are not ours to act on.
    server.emitSignal("ActionInvoked", {40u, QStringLiteral("open")});
    server.emitSignal("ActionInvoked", {41u, QStringLiteral("archive")});
    server.emitSignal("ActionInvoked", {41u, QStringLiteral("open")});
    server.emitSignal("ActionInvoked", {41u, QStringLiteral("default")});
    ASSERT_TRUE(QTest::qWaitFor([this] { return opened.size() == 2; }, 5000));
    EXPECT_EQ(opened, (std::vector<std::string>{"https://learn.test/q", "https://learn.test/q"}));

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
    server.emitSignal("NotificationClosed", {41u, 3u});
    server.emitSignal("ActionInvoked", {41u, QStringLiteral("open")});
    reachServer();
    EXPECT_EQ(opened.size(), 2u);
    QDBusConnection::disconnectFromBus(intruder.name());
}

TEST_F(DeadlineRemindersTest, WithoutAServiceNothingIsRecordedUntilOneAppears)
{
    qInstallMessageHandler(countWarnings);
    warnings = 0;
    launch({60}, 30min);
    EXPECT_TRUE(QTest::qWaitFor([this] { return reminders->awaiting() == 0; }, 5000));
    store->update([](Database& db) { db.lastSync["c"] = deadline - 1h; }); // another evaluation, another failure
    EXPECT_TRUE(QTest::qWaitFor([this] { return reminders->awaiting() == 0; }, 5000));
    EXPECT_EQ(warnings, 1) << "logged once";
    EXPECT_EQ(shown(), std::nullopt);

    // A service that answers with the wrong type has not shown it. It hands over to a working one
    // before its answer comes, so the evaluation at the hand-over finds the reminder still waiting
    // for that answer and has to be repeated once it is in.
    server.malformed = [this] {
        server.stop();
        server.start();
    };
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(received(1));
    EXPECT_FALSE(server.malformed);
    EXPECT_EQ(shown(), (ShownReminder{deadline, 60}));
    EXPECT_EQ(warnings, 1);
    qInstallMessageHandler(nullptr);
}

#include "DeadlineRemindersTest.moc"
