// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <vector>

namespace vantory::test {

// What the widgets tell a screen reader, caught in process. Qt only produces these events while a
// bridge has asked for them, and the offscreen platform has none, so the recorder turns the
// platform's accessibility on for its lifetime, as Qt's own accessibility tests do.
class AccessibleEvents {
public:
    struct Event {
        QAccessible::Event type;
        QPointer<QObject> object;
        int child;
        QString name; // the object's, or its child's when the event names one
        bool shown; // whether the object's window was visible
    };

    AccessibleEvents()
    {
        platform()->setActive(true);
        QAccessible::installUpdateHandler(&record);
    }
    ~AccessibleEvents()
    {
        QAccessible::installUpdateHandler(nullptr);
        platform()->setActive(false);
        log().clear();
    }
    AccessibleEvents(const AccessibleEvents&) = delete;
    AccessibleEvents& operator=(const AccessibleEvents&) = delete;

    // The events since the last take().
    std::vector<Event> take() { return std::exchange(log(), {}); }

private:
    static QPlatformAccessibility* platform() { return QGuiApplicationPrivate::platformIntegration()->accessibility(); }
    static std::vector<Event>& log()
    {
        static std::vector<Event> events;
        return events;
    }
    static void record(QAccessibleEvent* event)
    {
        QAccessibleInterface* about = event->accessibleInterface();
        if (about && event->child() >= 0)
            about = about->child(event->child());
        const auto* widget = qobject_cast<const QWidget*>(event->object());
        log().push_back({event->type(), event->object(), event->child(),
            about ? about->text(QAccessible::Name) : QString(), widget && widget->window()->isVisible()});
    }
};

} // namespace vantory::test
