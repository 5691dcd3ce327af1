// SPDX-License-Identifier: GPL-3.0-or-later
// Vantory's line in GNOME's top bar. The extension is only a view of the application's D-Bus
// object: the application composes the line, its colours, tooltip and menu, and announces every
// change; this shows them and sends back what the user did. It polls nothing and keeps no timer.
//
// This file has no imports: the build wraps it for GNOME 43–44 (imports.*) and for GNOME 45–51
// (ES modules), and each wrapper passes the shell's modules to vantoryPanel(). Where the shell's
// API differs between versions it is detected, not assumed.

/* exported vantoryPanel */
function vantoryPanel({Clutter, Gio, GLib, GObject, Pango, St, Main, PanelMenu, PopupMenu}, interfaceXml) {
    const busName = 'app.vantory.Vantory';
    const objectPath = '/app/vantory/Vantory';
    const interfaceName = 'app.vantory.Vantory1';
    // Methods that take part in the panel's own life cycle; the menu may name any other method of
    // the interface that takes no argument.
    const lifeCycleMethods = ['RegisterPanel', 'UnregisterPanel'];

    // A failed call has nothing to show here: the application reports its own failures.
    const ignoreReply = (proxy, result) => {
        try {
            proxy.call_finish(result);
        } catch {
        }
    };

    // clutter_text_set_markup() keeps the previous text when the markup does not parse, which
    // would leave a stale line on screen.
    const parses = markup => {
        try {
            Pango.parse_markup(markup, -1, '');
            return true;
        } catch {
            return false;
        }
    };

    // GNOME 43 draws a markup colour that starts at the first character in the theme's colour
    // instead; an invisible, zero-width word joiner in front keeps every span off that index.
    const wordJoiner = '\u2060';

    // Left click opens the dashboard, as the Activities button acts on release; right click and
    // Enter, Space or the Menu key open the menu.
    const Button = GObject.registerClass(
    class VantoryButton extends PanelMenu.Button {
        _init(activate) {
            super._init(0.5, 'Vantory');
            // GNOME 50 and later toggle a panel button's menu from a click gesture that takes the
            // press before vfunc_event sees it; left and right clicks are told apart here instead.
            this._clickGesture?.set_enabled(false);
            this._activate = activate;
            this._pressed = false;
            this.label = new St.Label({y_align: Clutter.ActorAlign.CENTER});
            this.add_child(this.label);
        }

        vfunc_event(event) {
            const type = event.type();
            if (type === Clutter.EventType.BUTTON_PRESS || type === Clutter.EventType.TOUCH_BEGIN) {
                if (type === Clutter.EventType.BUTTON_PRESS && event.get_button() === Clutter.BUTTON_SECONDARY) {
                    this.menu.toggle();
                    return Clutter.EVENT_STOP;
                }
                this._pressed = type === Clutter.EventType.TOUCH_BEGIN ||
                    event.get_button() === Clutter.BUTTON_PRIMARY;
                return this._pressed ? Clutter.EVENT_STOP : Clutter.EVENT_PROPAGATE;
            }
            if (type === Clutter.EventType.BUTTON_RELEASE || type === Clutter.EventType.TOUCH_END) {
                // Only a release that ends a press on this button counts as a click.
                const clicked = this._pressed;
                this._pressed = false;
                if (clicked)
                    this._activate();
                return clicked ? Clutter.EVENT_STOP : Clutter.EVENT_PROPAGATE;
            }
            return Clutter.EVENT_PROPAGATE;
        }

        // The popup menu already toggles on Enter and Space of its source actor.
        vfunc_key_press_event(event) {
            if (event.get_key_symbol() !== Clutter.KEY_Menu)
                return Clutter.EVENT_PROPAGATE;
            this.menu.toggle();
            return Clutter.EVENT_STOP;
        }
    });

    return class VantoryPanel {
        constructor() {
            this._interface = null;
            this._watch = 0;
            this._cancellable = null;
            this._proxy = null;
            this._proxyChanged = 0;
            this._button = null;
            this._tooltip = null;
            this._title = null;
            this._entries = null;
            this._menuShown = null;
            this._clicked = false;
            this._stagePress = 0;
        }

        enable() {
            this._interface = Gio.DBusNodeInfo.new_for_xml(interfaceXml).lookup_interface(interfaceName);
            this._watch = Gio.bus_watch_name(Gio.BusType.SESSION, busName, Gio.BusNameWatcherFlags.NONE,
                () => this._appeared(), () => this._vanished());
        }

        disable() {
            // The application shows its own strip again.
            this._call('UnregisterPanel');
            Gio.bus_unwatch_name(this._watch);
            this._watch = 0;
            this._vanished();
            this._interface = null;
        }

        _appeared() {
            this._vanished();
            const cancellable = new Gio.Cancellable();
            this._cancellable = cancellable;
            Gio.DBusProxy.new(Gio.DBus.session, Gio.DBusProxyFlags.DO_NOT_AUTO_START, this._interface, busName,
                objectPath, interfaceName, cancellable, (source, result) => {
                    let proxy;
                    try {
                        proxy = Gio.DBusProxy.new_finish(result);
                    } catch {
                        // Cancelled because the application left or the extension was disabled.
                        return;
                    }
                    this._cancellable = null;
                    this._show(proxy);
                });
        }

        _show(proxy) {
            this._proxy = proxy;
            this._proxyChanged = proxy.connect('g-properties-changed', () => this._sync());

            this._tooltip = new St.Label({style_class: 'vantory-tooltip', visible: false});
            Main.uiGroup.add_child(this._tooltip);

            this._button = new Button(() => this._showDashboard());
            this._button.connect('notify::hover', () => {
                if (!this._button.hover)
                    this._clicked = false;
                this._syncTooltip();
            });
            const menu = this._button.menu;
            menu.connect('open-state-changed', () => this._syncTooltip());
            this._title = new PopupMenu.PopupMenuItem('');
            this._title.sensitive = false;
            menu.addMenuItem(this._title);
            menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
            this._entries = new PopupMenu.PopupMenuSection();
            menu.addMenuItem(this._entries);

            this._sync();
            Main.panel.addToStatusArea('vantory', this._button, 0, 'right');
            this._call('RegisterPanel');
        }

        _vanished() {
            this._stopClosingOnPress();
            this._cancellable?.cancel();
            this._cancellable = null;
            if (this._proxy)
                this._proxy.disconnect(this._proxyChanged);
            this._proxy = null;
            this._proxyChanged = 0;

            // Cleared first: destroying the button may still notify hover.
            const {_button: button, _tooltip: tooltip} = this;
            this._button = this._tooltip = this._title = this._entries = this._menuShown = null;
            this._clicked = false;
            tooltip?.destroy();
            // Closes and destroys its menu too.
            button?.destroy();
        }

        _value(name, type) {
            const value = this._proxy.get_cached_property(name);
            return value?.get_type_string() === type ? value.deepUnpack() : null;
        }

        _sync() {
            const text = this._value('Text', 's') ?? '';
            const markup = this._value('Markup', 's') ?? '';
            const label = this._button.label;
            if (markup !== '' && parses(markup)) {
                label.clutter_text.set_markup(wordJoiner + markup);
            } else {
                label.clutter_text.use_markup = false;
                label.text = text;
            }
            this._button.accessible_name = text;
            this._title.label.text = text;
            this._tooltip.text = this._value('ToolTip', 's') ?? '';
            this._syncMenu();
            this._syncTooltip();
        }

        // Rebuilt only when the entries change, so a line that ticks does not disturb keyboard
        // navigation in the open menu.
        _syncMenu() {
            const entries = this._value('Menu', 'a(ssb)') ?? [];
            const shown = JSON.stringify(entries);
            if (shown === this._menuShown)
                return;
            this._menuShown = shown;
            this._entries.removeAll();
            for (const [method, label, enabled] of entries) {
                if (method === '') {
                    this._entries.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
                    continue;
                }
                const item = new PopupMenu.PopupMenuItem(label);
                item.sensitive = enabled && this._isMenuMethod(method);
                item.connect('activate', () => this._call(method));
                this._entries.addMenuItem(item);
            }
        }

        _isMenuMethod(name) {
            const method = this._interface.lookup_method(name);
            return method !== null && method.in_args.length === 0 && !lifeCycleMethods.includes(name);
        }

        _showDashboard() {
            this._clicked = true;
            this._syncTooltip();
            const [x, y] = this._button.get_transformed_position();
            const [width, height] = this._button.get_transformed_size();
            this._call('ShowDashboard', new GLib.Variant('(iiii)', [Math.round(x), Math.round(y),
                Math.max(1, Math.round(width)), Math.max(1, Math.round(height))]));
            this._closeOnNextPress();
        }

        // The dashboard closes when it loses the focus, but a click on the desktop or on the shell's
        // own panels reaches no window and takes no focus: the next press outside the button, after
        // the dashboard was asked for, closes it. A press on the button is the click that toggles it.
        _closeOnNextPress() {
            if (this._stagePress)
                return;
            // Deprecated in GNOME 51 in favour of event controllers; a shell without it leaves the
            // dashboard to close on its own focus loss.
            try {
                this._stagePress = global.stage.connect('captured-event', (stage, event) => this._pressed(event));
            } catch {
                this._stagePress = 0;
            }
        }

        // A press anywhere while the dashboard may be open: outside the button it closes the dashboard.
        _pressed(event) {
            const type = event.type();
            if (type !== Clutter.EventType.BUTTON_PRESS && type !== Clutter.EventType.TOUCH_BEGIN)
                return Clutter.EVENT_PROPAGATE;
            const [px, py] = event.get_coords();
            const [x, y] = this._button.get_transformed_position();
            const [width, height] = this._button.get_transformed_size();
            if (px < x || px >= x + width || py < y || py >= y + height)
                this._call('CloseDashboard');
            this._stopClosingOnPress();
            return Clutter.EVENT_PROPAGATE;
        }

        _stopClosingOnPress() {
            if (this._stagePress)
                global.stage.disconnect(this._stagePress);
            this._stagePress = 0;
        }

        // GNOME's top bar has no tooltips of its own: a label under the button while the pointer
        // rests on it, gone once the button is clicked or its menu opens.
        _syncTooltip() {
            const button = this._button, tooltip = this._tooltip;
            if (!button || !tooltip)
                return;
            if (!button.hover || button.menu.isOpen || this._clicked || tooltip.text === '') {
                tooltip.hide();
                return;
            }
            const [x, y] = button.get_transformed_position();
            const [width, height] = button.get_transformed_size();
            const [, tipWidth] = tooltip.get_preferred_width(-1);
            const monitor = Main.layoutManager.findMonitorForActor(button) ?? Main.layoutManager.primaryMonitor;
            const left = Math.min(x + (width - tipWidth) / 2, monitor.x + monitor.width - tipWidth);
            tooltip.set_position(Math.round(Math.max(left, monitor.x)),
                Math.round(y + height + 4 * monitor.geometry_scale));
            tooltip.show();
        }

        _call(method, parameters = null) {
            this._proxy?.call(method, parameters, Gio.DBusCallFlags.NO_AUTO_START, -1, null, ignoreReply);
        }
    };
}
