// SPDX-License-Identifier: GPL-3.0-or-later

const VantoryPanel = vantoryPanel({Clutter, Gio, GLib, GObject, Pango, St, Main, PanelMenu, PopupMenu},
    vantoryInterfaceXml);

function init() {
    return new VantoryPanel();
}
