// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/StripVisibility.h"

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <memory>

class QMenu;
class QScreen;
class QSystemTrayIcon;

namespace vantory {

class StatusContentView;
class StatusStrip;
class X11Desktop;

// The application's face at the top of the screen: a frameless strip at the top edge of the
// primary screen (right-aligned) hosting the status view, which an EWMH window manager treats as
// a panel applet (dock, on every desktop, reserving its own height along its width), and a tray
// icon mirroring the dot colour and the tooltip whenever a tray exists. Left click activates,
// right click asks for the settings.
class StatusItem : public QObject {
    Q_OBJECT

public:
    explicit StatusItem(double length, QObject* parent = nullptr);
    ~StatusItem() override;

    StatusContentView* view() const;

    // Width of the strip in points.
    double length() const { return length_; }
    void setLength(double points);

    // Also replaces the text of the strip's or the tray icon's tooltip while it shows, since Qt
    // keeps the text a tooltip opened with.
    void setToolTip(const QString& text);
    // A desktop notification from the tray icon, where the desktop shows them.
    void notify(const QString& title, const QString& message);
    void setAccessibleName(const QString& text);
    // The tray icon's dot; an invalid colour draws it in the strip's default text colour.
    void setDotColor(const QColor& color);

    // Whether the strip shows beside the tray icon (the default). Without a tray the strip shows
    // anyway, so the item never vanishes. The strip first appears once the event loop runs, so a
    // choice made right after construction decides whether it appears at all.
    bool stripWanted() const { return stripWanted_; }
    void setStripWanted(bool wanted);
    bool stripShown() const;

    // While the desktop shell shows the line in its own panel, neither the strip nor the tray icon
    // shows, so the line is not shown twice.
    void setPanelShown(bool shown);
    // Keeps the strip from showing while a panel is expected to register: a window mapped and at
    // once unmapped can stay mapped under a window manager that handles the map request late.
    void setStripHeld(bool held);

    // The tray icon's menu; a right click on the icon opens it instead of asking for the settings.
    // The menu must outlive the item.
    void setTrayMenu(QMenu* menu);
    // Global geometry of what the user clicked last: the strip, or the tray icon when the click
    // came from there. A StatusNotifierItem tray gives no geometry: then the pointer's position at
    // the click where the X server sees the pointer, and elsewhere the tray's likely place.
    QRect anchor() const;
    // Where a tray that gives no geometry most likely sits, on a screen whose panels keep the
    // given available area free: at the right end of the edge they take most of (the top when
    // none), as a rectangle over the panel (the bottom and right ones: at its lower end).
    static QRect trayPlace(const QRect& screen, const QRect& available);

    // Null off X11.
    X11Desktop* desktop() const { return desktop_.get(); }

Q_SIGNALS:
    void activated();
    void contextRequested();

private:
    void createTray();
    void watchScreen(QScreen* screen);
    void place();
    void updateStrip();
    void requestStrip(bool map);

    double length_;
    bool stripWanted_ = true;
    std::unique_ptr<StatusStrip> strip_;
    std::unique_ptr<X11Desktop> desktop_; // null off X11
    StripVisibility visibility_;
    QSystemTrayIcon* tray_ = nullptr; // child; null where no tray can ever show
    QColor dotColor_;
    QRect reserved_; // the strip frame whose strut is set, native pixels
    bool trayClicked_ = false;
    QPoint trayClickPointer_; // global, points
};

} // namespace vantory
