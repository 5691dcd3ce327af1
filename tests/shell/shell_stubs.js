// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for the parts of GNOME Shell the extension touches, small enough for plain gjs, as each
// shell version has them. They keep what a test needs to see: what is shown, and in `live` every
// actor not yet destroyed. useShell(version) picks the version that `shell` stands for.
export const live = new Set();

class Emitter {
    _handlers = [];
    connect(name, callback) { return this._handlers.push({name, callback}); }
    disconnect(id) { this._handlers[id - 1].name = null; }
    emit(name, ...args) { this._handlers.filter(h => h.name === name).forEach(h => h.callback(this, ...args)); }
    connected() { return this._handlers.some(h => h.name); }
}

const eventTypes = {BUTTON_PRESS: 1, BUTTON_RELEASE: 2, TOUCH_BEGIN: 3, TOUCH_END: 4, KEY_PRESS: 5};
const presses = [eventTypes.BUTTON_PRESS, eventTypes.TOUCH_BEGIN];
const releases = [eventTypes.BUTTON_RELEASE, eventTypes.TOUCH_END];

// The shell's global object, as far as the extension reads it.
export const stage = new Emitter();
globalThis.global = {stage};

// An input event as Clutter hands it to an actor, at stage coordinates (x, y).
export function event(type, {button = 0, key = 0, x = 0, y = 0} = {}) {
    return {type: () => type, get_button: () => button, get_key_symbol: () => key, get_coords: () => [x, y]};
}

// GNOME 49's replacement of ClickAction: here one that recognises on press, as the panel's does.
class ClickGesture extends Emitter {
    constructor({enabled = true} = {}) { super(), this.enabled = enabled; }
    set_enabled(enabled) { this.enabled = enabled; }
}

// As Clutter delivers an event to an actor: an enabled gesture that takes a press holds it and the
// release that ends it back from the actor's own handlers.
export function deliver(actor, e) {
    const type = e.type();
    if (type === eventTypes.KEY_PRESS)
        return actor.vfunc_key_press_event(e);
    const gesture = actor.actions.find(action => action instanceof ClickGesture && action.enabled);
    if (gesture) {
        if (presses.includes(type))
            gesture.emit('recognize');
        if (presses.includes(type) || releases.includes(type))
            return true;
    }
    return actor.vfunc_event(e);
}

// GObject classes run _init from their constructor; the extension's button relies on that.
class Widget extends Emitter {
    constructor(...args) { super(), this._init(...args); }

    _init(properties = {}) {
        Object.assign(this, {visible: true, hover: false, accessible_name: '', x: 0, y: 0, width: 0, height: 0},
            properties, {children: [], actions: [], parent: null, destroyed: false});
        live.add(this);
    }

    add_child(child) { child.parent = this, this.children.push(child); }
    remove_child(child) { this.children.splice(this.children.indexOf(child), 1), child.parent = null; }
    add_action(action) { this.actions.push(action); }
    show() { this.visible = true; }
    hide() { this.visible = false; }
    set_position(x, y) { Object.assign(this, {x, y}); }
    get_transformed_position() { return [this.x, this.y]; }
    get_transformed_size() { return [this.width, this.height]; }
    get_preferred_width() { return [0, this.width]; }
    vfunc_event() { return false; }
    vfunc_key_press_event() { return false; }

    destroy() {
        if (!this.destroyed) {
            this.destroyed = true, this.emit('destroy');
            [...this.children].forEach(child => child.destroy());
            this.parent?.remove_child(this), live.delete(this);
        }
    }
}

class Label extends Widget {
    _init(properties = {}) {
        super._init({text: '', ...properties});
        const label = this;
        this.clutter_text = {use_markup: false, set_markup(markup) { this.use_markup = true, label.text = markup; }};
    }

    // Eight pixels a character of the longest line.
    get_preferred_width() { return [0, 8 * Math.max(...this.text.split('\n').map(line => line.length))]; }
}

class MenuBase extends Emitter {
    items = [];
    addMenuItem(item) { this.items.push(item); }
    removeAll() { this.items.forEach(item => item.destroy()), this.items = []; }
    // The items as shown, sections flattened.
    shownItems() { return this.items.flatMap(item => item instanceof PopupMenuSection ? item.shownItems() : [item]); }
}

class PopupMenuSection extends MenuBase { destroy() { this.removeAll(); } }

class Menu extends MenuBase {
    isOpen = false;
    destroyed = false;
    open(animate) { this._animation(animate), this._setOpen(true); }
    close(animate) { this._animation(animate), this._setOpen(false); }
    toggle() { this.isOpen ? this.close() : this.open(); }
    _setOpen(open) { this.isOpen !== open && (this.isOpen = open, this.emit('open-state-changed', open)); }
    _animation() {}
    destroy() { this.close(), this.removeAll(), this.destroyed = true, this.emit('destroy'); }
}

// GNOME 51: open() and close() take a parameter object instead of the animation.
class MenuOf51 extends Menu {
    _animation(params) {
        if (params !== undefined && typeof params !== 'object')
            throw new TypeError(`open/close take a parameter object, not ${params}`);
    }
}

class PopupMenuItem extends Widget {
    _init(text) {
        super._init({sensitive: true});
        this.label = new Label({text});
        this.add_child(this.label);
    }
}

// A panel button toggles its menu on a press: up to 49 from its event handler, from 50 on through a
// click gesture that recognises on press.
function panelButton(version, MenuClass) {
    return class Button extends Widget {
        _init(menuAlignment, nameText, dontCreateMenu = false) {
            super._init({accessible_name: nameText ?? ''});
            this.menu = new MenuClass();
            this.connect('destroy', () => this.menu.destroy());
            if (version >= 50) {
                this._clickGesture = new ClickGesture({enabled: !dontCreateMenu});
                this._clickGesture.connect('recognize', () => this.menu.toggle());
                this.add_action(this._clickGesture);
            }
        }

        vfunc_event(e) {
            if (version < 50 && presses.includes(e.type()))
                this.menu.toggle();
            return false;
        }
    };
}

// The shell's modules as `version` has them (43 stands for 43–44, 45 for 45–48).
function makeShell(version) {
    const Clutter = {
        ActorAlign: {FILL: 0, START: 1, CENTER: 2, END: 3},
        EventType: eventTypes,
        BUTTON_PRIMARY: 1, BUTTON_SECONDARY: 3, EVENT_PROPAGATE: false, EVENT_STOP: true, KEY_Menu: 0xff67,
        // GNOME 49 replaced the click action by gestures.
        ...version >= 49 ? {ClickGesture} : {ClickAction: class extends Emitter {}},
    };
    const MenuClass = version >= 51 ? MenuOf51 : Menu;
    const Button = panelButton(version, MenuClass);
    const rightBox = new Widget();
    const Main = {
        panel: {
            statusArea: {},
            // Places the button at the right end of a 1440 × 32 top bar.
            addToStatusArea(role, indicator, position, box) {
                if (this.statusArea[role] || !(indicator instanceof Button) || box !== 'right')
                    throw new Error(`not a new panel button for the right box: ${role}`);
                this.statusArea[role] = indicator;
                rightBox.add_child(indicator);
                Object.assign(indicator, {x: 1300, y: 0, width: 140, height: 32});
                indicator.connect('destroy', () => delete this.statusArea[role]);
                return indicator;
            },
        },
        uiGroup: new Widget(),
        layoutManager: {findMonitorForActor: () => null,
            primaryMonitor: {x: 0, y: 0, width: 1440, height: 900, geometry_scale: 1}},
    };
    live.delete(rightBox), live.delete(Main.uiGroup);
    return {
        Clutter, Main,
        GObject: {registerClass: (info, klass) => klass ?? info},
        St: {Widget, Label},
        PanelMenu: {Button},
        PopupMenu: {PopupMenu: MenuClass, PopupMenuSection, PopupMenuItem, PopupSeparatorMenuItem: class extends Widget {}},
        Extension: {Extension: class { constructor(metadata) { this.metadata = metadata; } }},
    };
}

export let shell = makeShell(43);
export function useShell(version) {
    shell = makeShell(version);
    return shell;
}
