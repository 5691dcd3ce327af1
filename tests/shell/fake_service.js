// A stand-in for Vantory's D-Bus object on a connection of its own to the session bus: it serves
// the line's properties, announces each change as the application does and records every method
// call, each as its name and arguments separated by spaces. stop() leaves the bus as a quitting
// application does.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';

export function startFake(interfaceXml, onOwned) {
    const info = Gio.DBusNodeInfo.new_for_xml(interfaceXml).interfaces[0];
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
    const service = {};
    for (const name of Object.keys(properties))
        Object.defineProperty(service, name, {get: () => properties[name]});
    for (const method of info.methods)
        service[method.name] = (...args) => calls.push([method.name, ...args.slice(0, method.in_args.length)].join(' '));
    const exported = Gio.DBusExportedObject.wrapJSObject(interfaceXml, service);
    const connection = Gio.DBusConnection.new_for_address_sync(
        Gio.dbus_address_get_for_bus_sync(Gio.BusType.SESSION, null),
        Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, null, null);
    exported.export(connection, '/app/vantory/Vantory');
    const owner = Gio.bus_own_name_on_connection(connection, 'app.vantory.Vantory', Gio.BusNameOwnerFlags.NONE,
        onOwned, () => printerr('fake_service: app.vantory.Vantory is taken'));
    return {
        calls,
        set(name, type, value) {
            properties[name] = value;
            exported.emit_property_changed(name, new GLib.Variant(type, value));
        },
        stop() {
            Gio.bus_unown_name(owner);
            exported.unexport();
            connection.close_sync(null);
        },
    };
}
