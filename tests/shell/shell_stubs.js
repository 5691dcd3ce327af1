// Stand-ins for the parts of GNOME Shell 43 the extension touches, small enough for plain gjs. They
// keep what a test needs to see: what is shown, and in `live` every actor not yet destroyed.
export const live = new Set();

class Emitter {
    _handlers = [];
    connect(name, callback) { return this._handlers.push({name, callback}); }
    disconnect(id) { this._handlers[id - 1].name = null; }
    emit(name, ...args) { this._handlers.filter(h => h.name === name).forEach(h => h.callback(this, ...args)); }
    connected() { return this._handlers.some(h => h.name); }
}

// The shell's global object, as far as the extension reads it.
export const stage = new Emitter();
globalThis.global = {stage};

export const Clutter = {
    ActorAlign: {FILL: 0, START: 1, CENTER: 2, END: 3},
    EventType: {BUTTON_PRESS: 1, BUTTON_RELEASE: 2, TOUCH_BEGIN: 3, TOUCH_END: 4, KEY_PRESS: 5},
    BUTTON_PRIMARY: 1, BUTTON_SECONDARY: 3, EVENT_PROPAGATE: false, EVENT_STOP: true, KEY_Menu: 0xff67,
};

// An input event as Clutter hands it to an actor, at stage coordinates (x, y).
export function event(type, {button = 0, key = 0, x = 0, y = 0} = {}) {
    return {type: () => type, get_button: () => button, get_key_symbol: () => key, get_coords: () => [x, y]};
}

export const GObject = {registerClass: (info, klass) => klass ?? info};

// GObject classes run _init from their constructor; the extension's button relies on that.
class Widget extends Emitter {
    constructor(...args) { super(), this._init(...args); }

    _init(properties = {}) {
        Object.assign(this, {visible: true, hover: false, accessible_name: '', x: 0, y: 0, width: 0, height: 0},
            properties, {children: [], parent: null, destroyed: false});
        live.add(this);
    }

    add_child(child) { child.parent = this, this.children.push(child); }
    remove_child(child) { this.children.splice(this.children.indexOf(child), 1), child.parent = null; }
    show() { this.visible = true; }
    hide() { this.visible = false; }
    set_position(x, y) { Object.assign(this, {x, y}); }
    get_transformed_position() { return [this.x, this.y]; }
    get_transformed_size() { return [this.width, this.height]; }
    get_preferred_width() { return [0, this.width]; }

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

export const St = {Widget, Label};

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
    open() { this._setOpen(true); }
    close() { this._setOpen(false); }
    toggle() { this._setOpen(!this.isOpen); }
    _setOpen(open) { this.isOpen !== open && (this.isOpen = open, this.emit('open-state-changed', open)); }
    destroy() { this.close(), this.removeAll(), this.destroyed = true, this.emit('destroy'); }
}

class PopupMenuItem extends Widget {
    _init(text) {
        super._init({sensitive: true});
        this.label = new Label({text});
        this.add_child(this.label);
    }
}

export const PopupMenu = {
    PopupMenu: Menu, PopupMenuSection, PopupMenuItem, PopupSeparatorMenuItem: class extends Widget {},
};

// As GNOME 43's: a press toggles the menu.
class Button extends Widget {
    _init(menuAlignment, nameText) {
        super._init({accessible_name: nameText ?? ''});
        this.menu = new Menu();
        this.connect('destroy', () => this.menu.destroy());
    }

    vfunc_event(e) {
        if (e.type() === Clutter.EventType.BUTTON_PRESS || e.type() === Clutter.EventType.TOUCH_BEGIN)
            this.menu.toggle();
        return Clutter.EVENT_PROPAGATE;
    }
}

export const PanelMenu = {Button};

const rightBox = new Widget();
export const Main = {
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

export const Extension = {Extension: class { constructor(metadata) { this.metadata = metadata; } }};
