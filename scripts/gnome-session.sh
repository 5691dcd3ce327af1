# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced after scripts/virtual-desktop.sh by the scripts that run GNOME Shell 43 without a screen:
# Wayland on a 1440×900 virtual monitor, with private session and system buses, in the fresh home of
# virtual-desktop.sh. start_gnome_shell UUID... starts it with those user extensions enabled;
# shell_eval, shell_value, shell_true, shell_screenshot, shell_hover, shell_click and shell_key
# read and drive it. Everything the session started ends with the script.

shell_uuid=vantory-test-unsafe@vantory.app
shell_bus=$XDG_RUNTIME_DIR/bus

# GNOME's Eval answers only in unsafe mode, which this test-only extension switches on.
install_unsafe_mode_extension() {
    local dir=$XDG_DATA_HOME/gnome-shell/extensions/$shell_uuid
    mkdir -p "$dir"
    cat >"$dir/metadata.json" <<JSON
{"uuid": "$shell_uuid", "name": "Unsafe mode for tests", "description": "Lets tests call Eval",
 "shell-version": ["43", "44"]}
JSON
    cat >"$dir/extension.js" <<'JS'
/* exported init */
// Set once: each change to unsafe mode puts up a notification over the top of the screen.
function init() {
    return {
        enable() {
            if (!global.context.unsafe_mode)
                global.context.unsafe_mode = true;
        },
        disable() {
        },
    };
}
JS
}

# Quotes $1 as GVariant text, so that gdbus never reads a JavaScript argument as another type.
gvariant_string() {
    local text=${1//\\/\\\\}
    printf "'%s'" "${text//\'/\\\'}"
}

# Runs the JavaScript $1 in the shell; fails when it throws. Prints gdbus's reply.
shell_eval() {
    local reply
    reply=$(gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Eval "$(gvariant_string "$1")") || return 1
    printf '%s\n' "$reply"
    [[ $reply == "(true, "* ]]
}

# Prints the value of the JavaScript expression $1 as the shell's String() gives it, unquoted.
shell_value() {
    rm -f "$work/shell-value"
    shell_eval "GLib.file_set_contents('$work/shell-value', String($1))" >/dev/null || return 1
    cat "$work/shell-value"
}

# Whether the JavaScript expression $1 is true in the shell.
shell_true() { [[ $(shell_value "$1") == true ]]; }

# A PNG of the whole screen at the absolute path $1.
shell_screenshot() {
    gdbus call --session --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
        --method org.gnome.Shell.Screenshot.Screenshot false false "$1" >/dev/null && [[ -s $1 ]]
}

# Presses and releases the pointer button $3 (1 left, 3 right) at the stage point ($1, $2) through a
# virtual pointer of the shell's seat.
shell_click() {
    shell_eval "(() => {
        const {Clutter} = imports.gi;
        global.vantoryTestPointer ??= Clutter.get_default_backend().get_default_seat()
            .create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
        const pointer = global.vantoryTestPointer, now = GLib.get_monotonic_time();
        pointer.notify_absolute_motion(now, $1, $2);
        pointer.notify_button(now + 1000, $3, Clutter.ButtonState.PRESSED);
        pointer.notify_button(now + 2000, $3, Clutter.ButtonState.RELEASED);
    })()" >/dev/null
}

# Moves the virtual pointer to the stage point ($1, $2).
shell_hover() {
    shell_eval "(() => {
        const {Clutter} = imports.gi;
        global.vantoryTestPointer ??= Clutter.get_default_backend().get_default_seat()
            .create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
        global.vantoryTestPointer.notify_absolute_motion(GLib.get_monotonic_time(), $1, $2);
    })()" >/dev/null
}

# Presses and releases the key $1 (a Clutter key name: KEY_Return, KEY_Escape) through a virtual
# keyboard of the shell's seat; it goes to the actor that has the key focus.
shell_key() {
    shell_eval "(() => {
        const {Clutter} = imports.gi;
        global.vantoryTestKeyboard ??= Clutter.get_default_backend().get_default_seat()
            .create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
        const now = GLib.get_monotonic_time();
        global.vantoryTestKeyboard.notify_keyval(now, Clutter.$1, Clutter.KeyState.PRESSED);
        global.vantoryTestKeyboard.notify_keyval(now + 1000, Clutter.$1, Clutter.KeyState.RELEASED);
    })()" >/dev/null
}

# Ends every process that still runs with this session's home, the bus's own children among them
# (they are no child of this script), by process id.
stop_session() {
    stop_all
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        ((pid != $$ && pid != BASHPID)) || continue
        grep -qzx "HOME=$HOME" "$environ" 2>/dev/null && kill "$pid" 2>/dev/null
    done
    return 0
}
trap 'stop_session; rm -rf "$work"' EXIT

# Mutter starts XWayland only when /tmp/.X11-unix belongs to root or to this user, and an X server
# that another user started first may have made the folder its own. Root puts it back as it is
# made at boot (systemd-tmpfiles): root's, writable by all, sticky.
x11_socket_folder() {
    local folder=/tmp/.X11-unix owner
    [[ -d $folder ]] || mkdir -p -m 1777 "$folder"
    owner=$(stat -c %u "$folder")
    ((owner == 0 || owner == EUID)) && return 0
    if ((EUID == 0)); then
        chown root:root "$folder" && chmod 1777 "$folder"
    else
        echo "$folder belongs to user $owner, so XWayland cannot start;" \
            "root can give it back: chown root: $folder; chmod 1777 $folder" >&2
        return 1
    fi
}

# Starts the buses and GNOME Shell with the user extensions "$@" enabled, and waits until Eval
# answers and the overview, which GNOME shows at start, is hidden. Exports WAYLAND_DISPLAY and
# XWayland's DISPLAY and XAUTHORITY.
start_gnome_shell() {
    export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
    unset DISPLAY WAYLAND_DISPLAY
    # Started after the fresh home is set, so what the buses start (dconf among them) writes there.
    start dbus-daemon --session --nofork --address="unix:path=$shell_bus"
    start dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/system-bus"
    within 10 test -S "$shell_bus" || return 1
    within 10 test -S "$XDG_RUNTIME_DIR/system-bus" || return 1
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$shell_bus
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/system-bus

    install_unsafe_mode_extension
    local uuids
    uuids=$(printf "'%s', " "$shell_uuid" "$@")
    gsettings set org.gnome.shell disable-user-extensions false
    gsettings set org.gnome.shell enabled-extensions "[${uuids%, }]"
    gsettings set org.gnome.desktop.interface enable-animations false

    x11_socket_folder || return 1
    start gnome-shell --headless --wayland --virtual-monitor 1440x900 --wayland-display=wayland-vantory
    local shell_pid=${pids[-1]} deadline=$((SECONDS + 60))
    until shell_true '!Main.layoutManager._startingUp' 2>/dev/null; do
        kill -0 "$shell_pid" 2>/dev/null && ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
    shell_eval 'Main.overview.hide()' >/dev/null
    # The start's notifications would cover the top of the screen in screenshots.
    shell_eval 'Main.messageTray.getSources().forEach(source => source.destroy())' >/dev/null
    within 10 shell_true '!Main.overview.visible' || return 1
    export WAYLAND_DISPLAY=wayland-vantory
    DISPLAY=$(shell_value 'GLib.getenv("DISPLAY")')
    XAUTHORITY=$(shell_value 'GLib.getenv("XAUTHORITY")')
    export DISPLAY XAUTHORITY
}
