// SPDX-License-Identifier: GPL-3.0-or-later
// Both built forms of the extension against stand-ins of each shell API they list, and a fake
// Vantory, under dbus-run-session:
// gjs -m extension_test.js <build>/shell/gnome <shell/gnome/indicator.js> <interface XML>
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Pango from 'gi://Pango';
import System from 'system';

import * as Stubs from './shell_stubs.js';

const {deliver, event, live, stage} = Stubs;
const [buildDir, indicatorPath, interfacePath] = ARGV;
const read = path => new TextDecoder().decode(GLib.file_get_contents(path)[1]);

let passed = 0, failed = 0;
const check = (what, ok) => ok ? passed++ : (failed++, printerr(`FAIL: ${what}`));
const delay = ms => new Promise(resolve => GLib.timeout_add(GLib.PRIORITY_DEFAULT, ms, () => resolve()));

// Polls a condition until it holds or ten seconds pass, and gives its value.
async function until(what, condition) {
    for (const deadline = GLib.get_monotonic_time() + 10 * GLib.USEC_PER_SEC; !condition(); await delay(20)) {
        if (GLib.get_monotonic_time() > deadline)
            throw new Error(`timed out waiting for ${what}`);
    }
    return condition();
}

// Vantory's bus object on a connection of its own, once it owns its name: it announces each change
// and records each call as its name and arguments; stop() leaves the bus as a quitting application.
let fake = null;
async function startFake() {
    const xml = read(interfacePath), calls = [];
    const service = {
        Text: '313 | Preclass (1d 4h20m)',
        Markup: '<span foreground="#3b82f6">313</span> | Preclass <span foreground="#f97316">(1d 4h20m)</span>',
        Runs: [['313', '#3b82f6'], [' | Preclass ', ''], ['(1d 4h20m)', '#f97316']],
        ToolTip: '313 Preclass\n마감: 10월 3일 (금) 23:59',
        Urgency: 'soon',
        Menu: [['ShowCalendar', '캘린더 열기', true], ['Refresh', '지금 새로 고침', true], ['', '', false],
            ['SignIn', '로그인', false], ['Quit', '종료', true]],
    };
    for (const method of Gio.DBusNodeInfo.new_for_xml(xml).interfaces[0].methods)
        service[method.name] = (...a) => calls.push([method.name, ...a.slice(0, method.in_args.length)].join(' '));
    const exported = Gio.DBusExportedObject.wrapJSObject(xml, service);
    const connection = Gio.DBusConnection.new_for_address_sync(
        Gio.dbus_address_get_for_bus_sync(Gio.BusType.SESSION, null),
        Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, null, null);
    exported.export(connection, '/app/vantory/Vantory');
    let owned = false;
    const owner = Gio.bus_own_name_on_connection(connection, 'app.vantory.Vantory', Gio.BusNameOwnerFlags.NONE,
        () => (owned = true), () => printerr('app.vantory.Vantory is taken'));
    fake = {
        calls,
        set: (name, type, value) =>
            (service[name] = value, exported.emit_property_changed(name, new GLib.Variant(type, value))),
        stop: () => (Gio.bus_unown_name(owner), exported.unexport(), connection.close_sync(null)),
    };
    await until('the fake service', () => owned);
}
const stopFake = () => (fake?.stop(), fake = null);
const called = call => until(call, () => fake.calls.includes(call));

// The shell APIs each form is run against, and the versions each of them stands for: a version the
// metadata lists must be one of these, so none is listed without its API under test.
const apis = {
    legacy: [{api: 43, versions: ['43', '44']}],
    module: [{api: 45, versions: ['45', '46', '47', '48']}, {api: 49, versions: ['49']}, {api: 50, versions: ['50']},
        {api: 51, versions: ['51']}],
};

// The legacy form reads its modules from a global imports object: run it as a function body.
function loadLegacy(source, {Clutter, GObject, St, Main, PanelMenu, PopupMenu}) {
    const imports = {gi: {Clutter, Gio, GLib, GObject, Pango, St},
        ui: {main: Main, panelMenu: PanelMenu, popupMenu: PopupMenu}};
    return new Function('imports', `${source}\nreturn init;`)(imports)();
}

// The module form imports by URI: point the stubbed modules at small modules re-exporting the current
// version's stand-ins. Importing it also checks its syntax as the shell's ES module loader would.
async function loadModule(source, shell) {
    const stubsUri = import.meta.url.replace(/[^/]*$/, 'shell_stubs.js');
    const scratch = GLib.dir_make_tmp('vantory-extension-XXXXXX');
    source = source.replace(/'(?:gi:\/\/|resource:\/\/\/\S*\/)(\w+?)(?:\.js)?'/g, (uri, base) => {
        const name = base[0].toUpperCase() + base.slice(1);
        if (!(name in shell))
            return uri;
        GLib.file_set_contents(`${scratch}/${name}.js`, `import {shell} from '${stubsUri}';\n` +
            `const stub = shell.${name};\nexport default stub;\n` +
            `export const {${Object.keys(shell[name]).join(', ')}} = stub;\n`);
        return `'file://${scratch}/${name}.js'`;
    });
    GLib.file_set_contents(`${scratch}/extension.js`, source);
    const {default: VantoryExtension} = await import(`file://${scratch}/extension.js`);
    GLib.spawn_sync(null, ['rm', '-r', scratch], null, GLib.SpawnFlags.SEARCH_PATH, null);
    return new VantoryExtension({uuid: 'vantory@vantory.app'});
}

// The label's markup without the leading word joiner, or the plain text it shows instead.
const shown = label => label.clutter_text.use_markup ? label.text.replace(/^\u2060/, '') : `plain:${label.text}`;
const menuRows = menu => menu.shownItems().map(item => item.label ? [item.label.text, item.sensitive] : '---');

// One form from enable() to disable() on one shell API; a failure leaves nothing behind for the next.
async function exercise(form, extension, {Clutter, Main}) {
    const before = new Set(live);
    const nothingLeft = () => [...live].every(actor => before.has(actor));
    let enabled = true;
    const disable = () => enabled && (enabled = false, extension.disable());
    await startFake();
    extension.enable();
    try {
        // Shown while the application is there, registered as its panel.
        const button = await until(`${form}: the button`, () => Main.panel.statusArea.vantory);
        const press = (type, options) => deliver(button, event(Clutter.EventType[type], options));
        const click = () => ['BUTTON_PRESS', 'BUTTON_RELEASE'].forEach(
            type => press(type, {button: Clutter.BUTTON_PRIMARY}));
        check(`${form}: the line as markup, the text as accessible name`, shown(button.label) ===
            '<span foreground="#3b82f6">313</span> | Preclass <span foreground="#f97316">(1d 4h20m)</span>' &&
            button.accessible_name === '313 | Preclass (1d 4h20m)');
        await called('RegisterPanel');

        // Follows the application's changes; markup that does not parse shows the plain text.
        fake.set('Text', 's', '201 | Quiz (3h)');
        fake.set('Markup', 's', '<b>201 | Quiz (3h)');
        await until(`${form}: the text instead of broken markup, and as accessible name`,
            () => shown(button.label) === 'plain:201 | Quiz (3h)' && button.accessible_name === '201 | Quiz (3h)');

        // Right click: the line, then the entries; only argument-less, non-life-cycle methods are callable.
        press('BUTTON_PRESS', {button: Clutter.BUTTON_SECONDARY});
        check(`${form}: right click opens the menu with its rows`, button.menu.isOpen && JSON.stringify(menuRows(
            button.menu)) === JSON.stringify([['201 | Quiz (3h)', false], '---', ['캘린더 열기', true],
            ['지금 새로 고침', true], '---', ['로그인', false], ['종료', true]]));
        button.menu.shownItems()[3].emit('activate');
        await called('Refresh');
        fake.set('Menu', 'a(ssb)', [['ShowSettings', '설정', true], ['ShowDashboard', '대시보드', true],
            ['UnregisterPanel', '숨기기', true], ['Nonexistent', '없음', true]]);
        await until(`${form}: the new entries`, () => menuRows(button.menu).length === 6);
        check(`${form}: entries that cannot be called are insensitive`,
            JSON.stringify(menuRows(button.menu).slice(2).map(row => row[1])) === '[true,false,false,false]');
        const entries = button.menu.shownItems();
        fake.set('Text', 's', '201 | Quiz (2h)');
        await until(`${form}: the menu's line`, () => menuRows(button.menu)[0][0] === '201 | Quiz (2h)');
        check(`${form}: entries are kept while only the line changes`,
            button.menu.shownItems().every((item, i) => item === entries[i]));
        press('BUTTON_PRESS', {button: Clutter.BUTTON_SECONDARY}); // closes it for the Menu key to open
        press('KEY_PRESS', {key: Clutter.KEY_Menu});
        check(`${form}: the Menu key opens it`, button.menu.isOpen);
        button.menu.close();

        // Left click: the dashboard under the button, in stage coordinates; the menu stays shut.
        button.hover = true, button.emit('notify::hover');
        const tooltip = Main.uiGroup.children.find(child => child.visible);
        check(`${form}: hovering shows the tooltip under the button, on the screen`,
            tooltip?.text === '313 Preclass\n마감: 10월 3일 (금) 23:59' && tooltip.y === 36 &&
            tooltip.x === 1440 - tooltip.get_preferred_width(-1)[1]);
        click();
        await called('ShowDashboard 1300 0 140 32');
        check(`${form}: left click leaves the menu shut and hides the tooltip`,
            !button.menu.isOpen && !tooltip.visible);

        // A press elsewhere closes the dashboard, once; a press on the button is the toggle's own.
        const pressAt = (x, y) => stage.emit('captured-event', event(Clutter.EventType.BUTTON_PRESS, {x, y}));
        const closes = () => fake.calls.filter(call => call === 'CloseDashboard').length;
        pressAt(700, 400);
        await called('CloseDashboard');
        pressAt(700, 400);
        click();
        pressAt(1350, 10);
        pressAt(700, 400);
        await delay(100);
        check(`${form}: one press elsewhere after a click closes the dashboard`, closes() === 1);
        click();

        // The application leaves with the menu and tooltip open: all of it goes, and comes back with it.
        button.menu.open();
        stopFake();
        await until(`${form}: the button to go`, () => !Main.panel.statusArea.vantory);
        check(`${form}: the menu closed, nothing left on screen or on the stage`, !button.menu.isOpen &&
            button.menu.destroyed && nothingLeft() && !stage.connected());
        await startFake();
        await until(`${form}: the button to return`, () => Main.panel.statusArea.vantory);
        await called('RegisterPanel');

        // Disabled: unregistered, nothing left, and an application that starts now is left alone.
        disable();
        check(`${form}: disable removes the button and every actor`, !Main.panel.statusArea.vantory && nothingLeft());
        await called('UnregisterPanel');
        stopFake();
        await startFake();
        await delay(300);
        check(`${form}: disabled, it ignores a new start`, nothingLeft() && !fake.calls.includes('RegisterPanel'));
    } finally {
        disable();
        stopFake();
    }
}

async function main() {
    const logic = read(indicatorPath);
    for (const [form, runs] of Object.entries(apis)) {
        const source = read(`${buildDir}/${form}/extension.js`);
        const metadata = JSON.parse(read(`${buildDir}/${form}/metadata.json`));
        check(`${form}: holds indicator.js unchanged, lists exactly the versions under test`, source.includes(logic) &&
            metadata.uuid === 'vantory@vantory.app' &&
            JSON.stringify(metadata['shell-version']) === JSON.stringify(runs.flatMap(run => run.versions)));
        for (const {api} of runs) {
            const shell = Stubs.useShell(api);
            await (async () => exercise(`${form} on ${api}`, form === 'legacy' ? loadLegacy(source, shell)
                : await loadModule(source, shell), shell))()
                .catch(e => check(`${form} on ${api}: ${e.message}\n${e.stack}`, false));
        }
    }
}

const loop = new GLib.MainLoop(null, false);
main().catch(e => check(e.stack, false)).finally(() => loop.quit());
loop.run();
print(`${passed} passed, ${failed} failed`);
System.exit(failed === 0 ? 0 : 1);
