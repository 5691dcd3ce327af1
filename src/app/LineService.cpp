// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LineService.h"

#include "app/LineActions.h"
#include "status/BarLine.h"
#include "status/StatusLine.h"

#include "LineServiceInterface.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QMetaObject>

#include <cstdlib>

namespace vantory::bus {

// One coloured run: (text, "#rrggbb" or "").
struct Run {
    QString text;
    QString color;
    bool operator==(const Run&) const = default;
};

// One menu entry: (method, label, enabled); an empty method is a separator.
struct MenuEntry {
    QString method;
    QString label;
    bool enabled = false;
    bool operator==(const MenuEntry&) const = default;
};

QDBusArgument& operator<<(QDBusArgument& argument, const Run& run)
{
    argument.beginStructure();
    argument << run.text << run.color;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Run& run)
{
    argument.beginStructure();
    argument >> run.text >> run.color;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const MenuEntry& entry)
{
    argument.beginStructure();
    argument << entry.method << entry.label << entry.enabled;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuEntry& entry)
{
    argument.beginStructure();
    argument >> entry.method >> entry.label >> entry.enabled;
    argument.endStructure();
    return argument;
}

} // namespace vantory::bus

Q_DECLARE_METATYPE(vantory::bus::Run)
Q_DECLARE_METATYPE(vantory::bus::MenuEntry)

namespace vantory {

namespace {

const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString invalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString unknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");

// Screen coordinates beyond these are no screen's: a bad or hostile caller.
constexpr int maximumCoordinate = 1'000'000;
constexpr int maximumExtent = 100'000;

QString ourInterface()
{
    return QString::fromLatin1(LineService::interfaceName);
}

QList<bus::Run> runs(const StatusLine& line)
{
    QList<bus::Run> runs;
    for (const LineRun& run : lineRuns(line.coloredLine))
        runs.push_back({QString::fromStdString(run.text),
            run.colorHex ? QLatin1Char('#') + QString::fromStdString(*run.colorHex) : QString()});
    return runs;
}

QList<bus::MenuEntry> menu(const Store& store)
{
    QList<bus::MenuEntry> entries;
    for (const LineAction& action : lineActions) {
        if (!offered(action))
            continue;
        // Two separators in a row would draw an empty section where the hidden actions were.
        if (!action.label && (entries.isEmpty() || entries.back().method.isEmpty()))
            continue;
        if (!action.label)
            entries.push_back({});
        else
            entries.push_back({QString::fromLatin1(action.method), menuText(action), available(action, store)});
    }
    return entries;
}

const LineAction* action(const QString& method)
{
    for (const LineAction& action : lineActions) {
        if (action.method && method == QLatin1String(action.method))
            return &action;
    }
    return nullptr;
}

bool validAnchor(int x, int y, int width, int height)
{
    return std::abs(x) <= maximumCoordinate && std::abs(y) <= maximumCoordinate && width >= 1 && width <= maximumExtent
        && height >= 1 && height <= maximumExtent;
}

} // namespace

LineService::LineService(Store& store, const QDBusConnection& bus, QObject* parent)
    : QDBusVirtualObject(parent)
    , store_(store)
    , bus_(bus)
    , callers_(new QDBusServiceWatcher(this))
{
    qDBusRegisterMetaType<bus::Run>();
    qDBusRegisterMetaType<QList<bus::Run>>();
    qDBusRegisterMetaType<bus::MenuEntry>();
    qDBusRegisterMetaType<QList<bus::MenuEntry>>();
    callers_->setConnection(bus_);
    callers_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    // A front end that crashed or whose shell restarted takes its registration with it.
    connect(callers_, &QDBusServiceWatcher::serviceUnregistered, this,
        [this](const QString& caller) { setPanel(caller, false); });
}

LineService::~LineService()
{
    if (!exported_)
        return;
    bus_.unregisterService(QString::fromLatin1(serviceName));
    bus_.unregisterObject(QString::fromLatin1(objectPath));
}

bool LineService::publish()
{
    if (exported_ || !bus_.isConnected())
        return exported_;
    if (!bus_.registerVirtualObject(QString::fromLatin1(objectPath), this))
        return false;
    if (!bus_.registerService(QString::fromLatin1(serviceName))) {
        bus_.unregisterObject(QString::fromLatin1(objectPath));
        return false;
    }
    exported_ = true;
    return true;
}

void LineService::setLine(const StatusLine& line, const QString& urgency)
{
    QVariantMap current;
    current.insert(QStringLiteral("Text"), QString::fromStdString(plainText(line.coloredLine)));
    current.insert(QStringLiteral("Markup"), QString::fromStdString(pangoMarkup(line.coloredLine)));
    current.insert(QStringLiteral("Runs"), QVariant::fromValue(runs(line)));
    current.insert(QStringLiteral("ToolTip"), QString::fromStdString(plainTooltip(line)));
    current.insert(QStringLiteral("Urgency"), urgency);
    current.insert(QStringLiteral("Menu"), QVariant::fromValue(menu(store_)));

    QVariantMap changed;
    for (auto value = current.cbegin(); value != current.cend(); ++value) {
        if (published_.value(value.key()) != value.value())
            changed.insert(value.key(), value.value());
    }
    published_ = std::move(current);
    if (changed.isEmpty() || !exported_)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(objectPath), propertiesInterface, QStringLiteral("PropertiesChanged"));
    signal << ourInterface() << changed << QStringList();
    bus_.send(signal);
}

QString LineService::introspect(const QString&) const
{
    // The object's part of the description: its interface, without the document around it.
    static const QString interfaces = [] {
        const QString xml = QString::fromUtf8(lineServiceIntrospection);
        const qsizetype begin = xml.indexOf(QLatin1String("<interface"));
        const QLatin1String end("</interface>");
        return xml.mid(begin, xml.lastIndexOf(end) + end.size() - begin);
    }();
    return interfaces;
}

bool LineService::handleMessage(const QDBusMessage& message, const QDBusConnection&)
{
    if (message.type() != QDBusMessage::MethodCallMessage || message.path() != QLatin1String(objectPath))
        return false;
    if (message.interface() == propertiesInterface)
        return handleProperties(message);
    if (message.interface().isEmpty() || message.interface() == ourInterface())
        return handleMethod(message);
    return false;
}

bool LineService::handleProperties(const QDBusMessage& message)
{
    const QVariantList arguments = message.arguments();
    if (message.member() == QLatin1String("Get") && message.signature() == QLatin1String("ss")) {
        const QString name = arguments.at(1).toString();
        if (arguments.at(0).toString() != ourInterface() || !published_.contains(name))
            fail(message, invalidArgs, QStringLiteral("No such property"));
        else
            reply(message, {QVariant::fromValue(QDBusVariant(published_.value(name)))});
        return true;
    }
    if (message.member() == QLatin1String("GetAll") && message.signature() == QLatin1String("s")) {
        const bool ours = arguments.at(0).toString() == ourInterface() || arguments.at(0).toString().isEmpty();
        reply(message, {ours ? published_ : QVariantMap()});
        return true;
    }
    if (message.member() == QLatin1String("Set") && message.signature() == QLatin1String("ssv")) {
        fail(message, QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly"),
            QStringLiteral("Every property is read-only"));
        return true;
    }
    fail(message, unknownMethod, QStringLiteral("No such method or signature"));
    return true;
}

bool LineService::handleMethod(const QDBusMessage& message)
{
    const QString member = message.member();
    const QString signature = message.signature();
    if (member == QLatin1String("ShowDashboard")) {
        const QVariantList arguments = message.arguments();
        if (signature != QLatin1String("iiii")
            || !validAnchor(
                arguments.at(0).toInt(), arguments.at(1).toInt(), arguments.at(2).toInt(), arguments.at(3).toInt())) {
            fail(message, invalidArgs, QStringLiteral("Expected a rectangle on a screen: x, y, width, height"));
            return true;
        }
        const QRect anchor(
            arguments.at(0).toInt(), arguments.at(1).toInt(), arguments.at(2).toInt(), arguments.at(3).toInt());
        reply(message);
        QMetaObject::invokeMethod(
            this,
            [this, anchor] {
                if (showDashboard)
                    showDashboard(anchor);
            },
            Qt::QueuedConnection);
        return true;
    }
    if (!signature.isEmpty()) {
        fail(message, invalidArgs, QStringLiteral("This method takes no arguments"));
        return true;
    }
    if (member == QLatin1String("RegisterPanel") || member == QLatin1String("UnregisterPanel")) {
        const bool shown = member == QLatin1String("RegisterPanel");
        if (shown && !panels_.contains(message.service()) && panels_.size() >= maximumPanels) {
            fail(message, QStringLiteral("org.freedesktop.DBus.Error.LimitsExceeded"),
                QStringLiteral("Too many panels"));
            return true;
        }
        reply(message);
        setPanel(message.service(), shown);
        return true;
    }
    if (member == QLatin1String("CloseDashboard")) {
        reply(message);
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (closeDashboard)
                    closeDashboard();
            },
            Qt::QueuedConnection);
        return true;
    }
    if (const LineAction* requested = action(member)) {
        reply(message);
        // After the reply: a window that takes a moment to build must not hold the caller.
        QMetaObject::invokeMethod(
            this, [this, requested] { run(*requested, store_); }, Qt::QueuedConnection);
        return true;
    }
    fail(message, unknownMethod, QStringLiteral("No such method"));
    return true;
}

void LineService::setPanel(const QString& caller, bool shown)
{
    const bool wasShown = panelShown();
    if (shown && !caller.isEmpty() && !panels_.contains(caller)) {
        panels_.insert(caller);
        callers_->addWatchedService(caller);
        // A caller that left before the watch began would otherwise hide the strip for good.
        auto* check
            = new QDBusPendingCallWatcher(bus_.interface()->asyncCall(QStringLiteral("NameHasOwner"), caller), this);
        connect(check, &QDBusPendingCallWatcher::finished, this, [this, caller](QDBusPendingCallWatcher* call) {
            call->deleteLater();
            if (const QDBusPendingReply<bool> owned = *call; owned.isValid() && !owned.value())
                setPanel(caller, false);
        });
    } else if (!shown && panels_.remove(caller)) {
        callers_->removeWatchedService(caller);
    }
    if (panelShown() != wasShown)
        Q_EMIT panelShownChanged(panelShown());
}

void LineService::reply(const QDBusMessage& message, const QVariantList& arguments)
{
    bus_.send(message.createReply(arguments));
}

void LineService::fail(const QDBusMessage& message, const QString& error, const QString& text)
{
    bus_.send(message.createErrorReply(error, text));
}

} // namespace vantory
