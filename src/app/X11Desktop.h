// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QRect>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QWindow;
struct xcb_connection_t;

namespace vantory {

// What an EWMH window manager needs to treat a window as a panel applet, and what it tells about
// the other panels and the XEmbed tray, over Qt's own xcb connection. Exists only on Qt's xcb
// platform (create() gives null elsewhere: offscreen, native Wayland). Coordinates are native
// pixels relative to the root window, as X11 counts them. Main thread only.
class X11Desktop : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    static std::unique_ptr<X11Desktop> create();
    ~X11Desktop() override;

    // Whether the X server sees all input: a plain X11 session. XWayland, inside a Wayland session,
    // learns where the pointer is only while it is over an X window (elsewhere it reports the last
    // such place) and its grabs reach no further than its own windows.
    static bool seesAllInput();

    // Declares `window` a dock that shows on every desktop and stays out of taskbars and pagers.
    // The window manager reads these when it maps the window and drops some when it unmaps it,
    // so this belongs before every show().
    void makeDock(QWindow& window);

    // Keeps `window` out of taskbars and pagers, as a popup is. Like makeDock, before every show().
    void keepOffTaskbars(QWindow& window);

    // Reserves the screen's top edge down to the bottom of `frame`, along the frame's width only,
    // so that maximised windows start below it.
    void reserveTop(QWindow& window, const QRect& frame);

    // The bottom of what other clients reserve at the top edge over columns [left, right]; 0 when
    // nothing is, none when the window manager lists no clients (then only its work area tells).
    std::optional<int> reservedTopByOthers(const QWindow& excluded, int left, int right) const;

    // Whether the X server has the window mapped now (one round trip).
    bool isMapped(const QWindow& window) const;

    // Asks the window manager to keep a mapped window on every desktop. Some window managers
    // (KWin) put a window on the current desktop when they map it, whatever its properties said.
    void stickToAllDesktops(const QWindow& window);

    // Asks the window manager to give a mapped window the focus, as for a direct user action:
    // the window opens on a click on the strip, the tray icon or a shell's button, which reaches
    // this process over D-Bus or the tray, not as an input event of the window's own.
    void activate(const QWindow& window);

Q_SIGNALS:
    // A client came or went, possibly a panel whose reservation matters.
    void clientsChanged();
    // An XEmbed tray appeared or its window went away.
    void trayChanged();
    // The X server mapped or unmapped one of this process's windows (not a synthetic report).
    void mapChanged(std::uint32_t window, bool mapped);

protected:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Atoms;
    X11Desktop(xcb_connection_t* connection, std::uint32_t root, std::unique_ptr<Atoms> atoms);
    void watchTrayOwner(std::uint32_t owner);
    void sendToWindowManager(std::uint32_t window, std::uint32_t type, const std::array<std::uint32_t, 5>& data);

    xcb_connection_t* connection_;
    std::uint32_t root_;
    std::unique_ptr<Atoms> atoms_;
    std::uint32_t trayOwner_ = 0;
    std::uint32_t activating_ = 0; // the window to activate once the server tells the time
};

} // namespace vantory
