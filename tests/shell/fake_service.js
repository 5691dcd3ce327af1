// A stand-in for Vantory's D-Bus object on the session bus: gjs -m fake_service.js <interface XML>
// It serves the line's properties and records every method call; its second interface,
// app.vantory.Fake1, sets a property (announced as the application does) and lists the calls, each
// its name and arguments separated by spaces. Quit, like the application's, leaves the bus.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import System from 'system';

const [interfacePath] = ARGV;
const interfaceXml = new TextDecoder().decode(GLib.file_get_contents(interfacePath)[1]);
const info = Gio.DBusNodeInfo.new_for_xml(interfaceXml).interfaces[0];
const objectPath = '/app/vantory/Vantory';

const controlXml = `<node><interface name="app.vantory.Fake1">
  <method name="Set"><arg type="s" direction="in"/><arg type="v" direction="in"/></method>
  <method name="Calls"><arg type="as" direction="out"/></method>
</interface></node>`;

const properties = {
    Text: '313 | Preclass (1d 4h20m)',
    Markup: '<span foreground="#3b82f6">313</span> | Preclass <span foreground="#f97316">(1d 4h20m)</span>',
    Runs: [['313', '#3b82f6'], [' | Preclass ', ''], ['(1d 4h20m)', '#f97316']],
    ToolTip: '313 Preclass\n마감: 10월 3일 (금) 23:59',
    Urgency: 'soon',
    Menu: [['ShowCalendar', '캘린더 열기', true], ['Refresh', '지금 새로 고침', true], ['', '', false],
        ['SignIn', '로그인', false], ['Quit', '종료', true]],
};
const calls = [];
const loop = new GLib.MainLoop(null, false);

const service = {};
for (const name of Object.keys(properties))
    Object.defineProperty(service, name, {get: () => properties[name]});
for (const method of info.methods) {
    service[method.name] = (...args) => {
        calls.push([method.name, ...args.slice(0, method.in_args.length)].join(' '));
        if (method.name === 'Quit')
            GLib.idle_add(GLib.PRIORITY_DEFAULT, () => loop.quit());
    };
}
const exported = Gio.DBusExportedObject.wrapJSObject(interfaceXml, service);

const control = Gio.DBusExportedObject.wrapJSObject(controlXml, {
    Set(name, value) {
        const property = info.lookup_property(name);
        if (!property || property.signature !== value.get_type_string())
            throw new Error(`no property ${name} of type ${value.get_type_string()}`);
        properties[name] = value.deepUnpack();
        exported.emit_property_changed(name, value);
    },
    Calls: () => calls,
});

Gio.bus_own_name(Gio.BusType.SESSION, 'app.vantory.Vantory', Gio.BusNameOwnerFlags.NONE,
    connection => {
        exported.export(connection, objectPath);
        control.export(connection, objectPath);
    },
    null,
    () => {
        printerr('fake_service: app.vantory.Vantory is taken or the session bus is gone');
        System.exit(1);
    });
loop.run();
// Let the reply to Quit leave before the process does.
Gio.DBus.session.flush_sync(null);
