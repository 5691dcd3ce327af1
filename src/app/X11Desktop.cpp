// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/X11Desktop.h"

#include <QGuiApplication>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace vantory {

namespace {

// Frees an xcb reply.
struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

// The X screen that DISPLAY names (":0.1" is screen 1); the tray selection carries its number.
int screenNumber()
{
    const std::string display = qEnvironmentVariable("DISPLAY").toStdString();
    const auto colon = display.rfind(':');
    const auto dot = display.find('.', colon == std::string::npos ? 0 : colon);
    return dot == std::string::npos ? 0 : std::atoi(display.c_str() + dot + 1);
}

xcb_window_t windowId(const QWindow& window)
{
    return static_cast<xcb_window_t>(window.winId());
}

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
// The source of a request in the window manager's client messages: a pager, as for every request
// that carries out a direct user action.
constexpr std::uint32_t userAction = 2;
constexpr std::uint32_t addState = 1;

} // namespace

struct X11Desktop::Atoms {
    xcb_atom_t windowType, dock, state, sticky, skipTaskbar, skipPager, above, desktop, strut, strutPartial, clientList,
        activeWindow, timestamp, manager, traySelection;
};

std::unique_ptr<X11Desktop> X11Desktop::create()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return nullptr;

    const int screen = screenNumber();
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int index = 0; index < screen && roots.rem > 1; ++index)
        xcb_screen_next(&roots);
    if (!roots.data)
        return nullptr;

    const std::string tray = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    const std::array<const char*, 15> names{"_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_STATE",
        "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE",
        "_NET_WM_DESKTOP", "_NET_WM_STRUT", "_NET_WM_STRUT_PARTIAL", "_NET_CLIENT_LIST", "_NET_ACTIVE_WINDOW",
        "_VANTORY_TIMESTAMP", "MANAGER", tray.c_str()};
    // All requests first, then the replies: one round trip.
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t index = 0; index < names.size(); ++index)
        cookies[index] = xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(names[index])), names[index]);
    std::array<xcb_atom_t, names.size()> values{};
    for (std::size_t index = 0; index < names.size(); ++index) {
        ReplyPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[index], nullptr));
        if (!reply)
            return nullptr;
        values[index] = reply->atom;
    }
    auto atoms = std::make_unique<Atoms>(Atoms{values[0], values[1], values[2], values[3], values[4], values[5],
        values[6], values[7], values[8], values[9], values[10], values[11], values[12], values[13], values[14]});

    std::unique_ptr<X11Desktop> desktop(new X11Desktop(connection, roots.data->root, std::move(atoms)));
    ReplyPointer<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, desktop->atoms_->traySelection), nullptr));
    if (owner)
        desktop->watchTrayOwner(owner->owner);
    return desktop;
}

bool X11Desktop::seesAllInput()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

X11Desktop::X11Desktop(xcb_connection_t* connection, std::uint32_t root, std::unique_ptr<Atoms> atoms)
    : connection_(connection)
    , root_(root)
    , atoms_(std::move(atoms))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11Desktop::~X11Desktop()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

void X11Desktop::makeDock(QWindow& window)
{
    const xcb_window_t id = windowId(window);
    xcb_change_property(
        connection_, XCB_PROP_MODE_REPLACE, id, atoms_->windowType, XCB_ATOM_ATOM, 32, 1, &atoms_->dock);
    // Qt adds its own states to these before mapping rather than replacing them.
    const std::array<xcb_atom_t, 4> states{atoms_->sticky, atoms_->skipTaskbar, atoms_->skipPager, atoms_->above};
    xcb_change_property(
        connection_, XCB_PROP_MODE_REPLACE, id, atoms_->state, XCB_ATOM_ATOM, 32, states.size(), states.data());
    xcb_change_property(
        connection_, XCB_PROP_MODE_REPLACE, id, atoms_->desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    xcb_flush(connection_);
}

void X11Desktop::keepOffTaskbars(QWindow& window)
{
    const std::array<xcb_atom_t, 2> states{atoms_->skipTaskbar, atoms_->skipPager};
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, windowId(window), atoms_->state, XCB_ATOM_ATOM, 32,
        states.size(), states.data());
    xcb_flush(connection_);
}

void X11Desktop::reserveTop(QWindow& window, const QRect& frame)
{
    const xcb_window_t id = windowId(window);
    const auto bottom = std::uint32_t(std::max(frame.bottom() + 1, 0));
    // left, right, top, bottom, then the start and end of each: left y, right y, top x, bottom x.
    const std::array<std::uint32_t, 12> partial{0, 0, bottom, 0, 0, 0, 0, 0, std::uint32_t(std::max(frame.left(), 0)),
        std::uint32_t(std::max(frame.right(), 0)), 0, 0};
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, atoms_->strutPartial, XCB_ATOM_CARDINAL, 32,
        partial.size(), partial.data());
    // Older window managers know only the plain strut, which spans the whole edge.
    xcb_change_property(
        connection_, XCB_PROP_MODE_REPLACE, id, atoms_->strut, XCB_ATOM_CARDINAL, 32, 4, partial.data());
    xcb_flush(connection_);
}

std::optional<int> X11Desktop::reservedTopByOthers(const QWindow& excluded, int left, int right) const
{
    ReplyPointer<xcb_get_property_reply_t> list(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, root_, atoms_->clientList, XCB_ATOM_WINDOW, 0, 4096), nullptr));
    if (!list || list->type != XCB_ATOM_WINDOW || list->format != 32)
        return std::nullopt;
    const auto* clients = static_cast<const xcb_window_t*>(xcb_get_property_value(list.get()));
    const int count = xcb_get_property_value_length(list.get()) / 4;
    const xcb_window_t own = excluded.handle() ? windowId(excluded) : 0;

    std::vector<xcb_get_property_cookie_t> partials;
    std::vector<xcb_get_property_cookie_t> struts;
    for (int index = 0; index < count; ++index) {
        partials.push_back(
            xcb_get_property(connection_, 0, clients[index], atoms_->strutPartial, XCB_ATOM_CARDINAL, 0, 12));
        struts.push_back(xcb_get_property(connection_, 0, clients[index], atoms_->strut, XCB_ATOM_CARDINAL, 0, 4));
    }
    int reserved = 0;
    for (int index = 0; index < count; ++index) {
        ReplyPointer<xcb_get_property_reply_t> partial(xcb_get_property_reply(connection_, partials[index], nullptr));
        ReplyPointer<xcb_get_property_reply_t> strut(xcb_get_property_reply(connection_, struts[index], nullptr));
        if (clients[index] == own)
            continue;
        const auto length
            = [](const auto& reply) { return reply ? xcb_get_property_value_length(reply.get()) / 4 : 0; };
        if (length(partial) >= 12) {
            const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(partial.get()));
            if (int(values[8]) <= right && int(values[9]) >= left)
                reserved = std::max(reserved, int(values[2]));
        } else if (length(strut) >= 4) {
            reserved
                = std::max(reserved, int(static_cast<const std::uint32_t*>(xcb_get_property_value(strut.get()))[2]));
        }
    }
    return reserved;
}

bool X11Desktop::isMapped(const QWindow& window) const
{
    ReplyPointer<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, windowId(window)), nullptr));
    return attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED;
}

void X11Desktop::stickToAllDesktops(const QWindow& window)
{
    sendToWindowManager(windowId(window), atoms_->desktop, {allDesktops, userAction, 0, 0, 0});
    sendToWindowManager(windowId(window), atoms_->state, {addState, atoms_->sticky, 0, userAction, 0});
}

void X11Desktop::activate(const QWindow& window)
{
    // The request needs the server's time now: a window manager refuses one older than the user's
    // last action elsewhere, and the click reached this process as no X event. An empty append
    // changes nothing, and the server stamps its PropertyNotify with the time.
    activating_ = windowId(window);
    xcb_change_property(
        connection_, XCB_PROP_MODE_APPEND, activating_, atoms_->timestamp, XCB_ATOM_INTEGER, 32, 0, nullptr);
    xcb_flush(connection_);
}

void X11Desktop::sendToWindowManager(std::uint32_t window, std::uint32_t type, const std::array<std::uint32_t, 5>& data)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char*>(&message));
    xcb_flush(connection_);
}

void X11Desktop::watchTrayOwner(std::uint32_t owner)
{
    trayOwner_ = owner;
    if (!owner)
        return;
    // The same mask Qt's own tray tracking selects on that window, so neither undoes the other.
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, owner, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
}

bool X11Desktop::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // Bit 7 marks an event another client sent, such as the unmap report Qt sends the root window
    // when it withdraws a window: only the server's own tell what happened.
    const bool synthetic = event->response_type & 0x80;
    switch (event->response_type & 0x7F) {
    case XCB_CLIENT_MESSAGE: {
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (client->window == root_ && client->type == atoms_->manager && client->format == 32
            && client->data.data32[1] == atoms_->traySelection) {
            watchTrayOwner(client->data.data32[2]);
            Q_EMIT trayChanged();
        }
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (trayOwner_ && static_cast<const xcb_destroy_notify_event_t*>(message)->window == trayOwner_) {
            trayOwner_ = 0;
            Q_EMIT trayChanged();
        }
        break;
    case XCB_PROPERTY_NOTIFY: {
        const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
        if (property->window == root_ && property->atom == atoms_->clientList)
            Q_EMIT clientsChanged();
        if (activating_ && property->window == activating_ && property->atom == atoms_->timestamp) {
            sendToWindowManager(activating_, atoms_->activeWindow, {userAction, property->time, 0, 0, 0});
            activating_ = 0;
        }
        break;
    }
    case XCB_MAP_NOTIFY: {
        // Each report reaches both the window and, when it is a child of the root, the root.
        const auto* map = static_cast<const xcb_map_notify_event_t*>(message);
        if (!synthetic && map->event == map->window)
            Q_EMIT mapChanged(map->window, true);
        break;
    }
    case XCB_UNMAP_NOTIFY: {
        const auto* unmap = static_cast<const xcb_unmap_notify_event_t*>(message);
        if (!synthetic && unmap->event == unmap->window)
            Q_EMIT mapChanged(unmap->window, false);
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace vantory
