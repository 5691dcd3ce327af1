// SPDX-License-Identifier: GPL-3.0-or-later

const VantoryPanel = vantoryPanel({Clutter, Gio, GLib, GObject, Pango, St, Main, PanelMenu, PopupMenu},
    vantoryInterfaceXml);

export default class VantoryExtension extends Extension {
    enable() {
        this._panel = new VantoryPanel();
        this._panel.enable();
    }

    disable() {
        this._panel.disable();
        this._panel = null;
    }
}
