// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QRect>
#include <QSet>
#include <QVariantMap>

#include <functional>

class QDBusServiceWatcher;

namespace vantory {

class Store;
struct StatusLine;

// The status line on the session bus, for desktop shells that show it in their own panel (the
// GNOME Shell extension): bus name app.vantory.Vantory, object /app/vantory/Vantory, interface
// app.vantory.Vantory1 as described by app.vantory.Vantory1.xml. The application stays the only
// composer; this object publishes each composition and turns calls into the tray menu's actions.
// Every caller is untrusted: each message is checked for its exact signature and ranges, is
// answered at once, and its action runs afterwards from the event loop. Main thread only.
class LineService : public QDBusVirtualObject {
    Q_OBJECT

public:
    static constexpr const char* serviceName = "app.vantory.Vantory";
    static constexpr const char* objectPath = "/app/vantory/Vantory";
    static constexpr const char* interfaceName = "app.vantory.Vantory1";
    // Panels that may be registered at once; a hostile caller cannot grow the set further.
    static constexpr int maximumPanels = 16;

    // store must outlive the service.
    LineService(Store& store, const QDBusConnection& bus, QObject* parent = nullptr);
    ~LineService() override;

    // Exports the object and claims the bus name. False without a session bus, or when another
    // Vantory (another state file) holds the name already; the line then stays unpublished.
    bool publish();

    // Publishes a composition; announces the properties that changed, if any. The first call
    // belongs before publish(), so no caller ever reads an empty line.
    void setLine(const StatusLine& line, const QString& urgency);

    // Whether a front end shows the line now.
    bool panelShown() const { return !panels_.isEmpty(); }

    // A front end asked for the dashboard under the given global rectangle.
    std::function<void(const QRect& anchor)> showDashboard;
    // A front end saw a click elsewhere: the dashboard closes if it shows.
    std::function<void()> closeDashboard;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

Q_SIGNALS:
    void panelShownChanged(bool shown);

private:
    bool handleProperties(const QDBusMessage& message);
    bool handleMethod(const QDBusMessage& message);
    void setPanel(const QString& caller, bool shown);
    void reply(const QDBusMessage& message, const QVariantList& arguments = {});
    void fail(const QDBusMessage& message, const QString& error, const QString& text);

    Store& store_;
    QDBusConnection bus_;
    QDBusServiceWatcher* callers_; // child
    QSet<QString> panels_; // unique bus names of the front ends that show the line
    QVariantMap published_; // the properties as last announced
    bool exported_ = false;
};

} // namespace vantory
