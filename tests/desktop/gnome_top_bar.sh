#!/usr/bin/env bash
# Vantory's GNOME Shell extension in a real GNOME Shell 43, headless (Wayland, 1440×900):
#   gnome_top_bar.sh <vantory binary> <extension folder, e.g. <build>/shell/gnome/legacy>
# First against the fake application (tests/shell/fake_service.js), which a test can steer: the
# button shows the line and follows it, hover, clicks, the menu and the keyboard reach the
# application, and the button goes and returns with it and with the extension. Then the real
# application, when the binary runs: its line in the top bar, its dashboard under the button.
# SHOTS=<folder> keeps the screenshots (top bar, tooltip, menu); KEEP=1 keeps the scratch folder.
set -euo pipefail
app=$1
extension=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
interface=$root/src/app/app.vantory.Vantory1.xml
uuid=vantory@vantory.app

for tool in gnome-shell gjs gdbus gsettings dbus-daemon convert; do
    command -v "$tool" >/dev/null || { echo "missing $tool (packages gnome-shell gjs imagemagick)" >&2; exit 1; }
done
[[ -f $extension/extension.js && -f $extension/metadata.json ]] || { echo "no extension in $extension" >&2; exit 1; }

source "$root/scripts/virtual-desktop.sh"
source "$root/scripts/gnome-session.sh"
[[ ${KEEP:-} == 1 ]] && trap 'stop_session; echo "kept $work"' EXIT
shots=${SHOTS:-$work/shots}
mkdir -p "$shots"
shots=$(realpath "$shots")

passes=0 failures=0
check() { # check DESCRIPTION COMMAND...: prints the outcome and counts it
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
        passes=$((passes + 1))
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}
fail() {
    echo "FAIL: $*" >&2
    tail -n 40 "$work/log" >&2
    exit 1
}

# The application's property $1 as plain text, from whoever owns the name.
bus_property() {
    gjs -c "const {Gio, GLib} = imports.gi;
        const reply = Gio.DBus.session.call_sync('app.vantory.Vantory', '/app/vantory/Vantory',
            'org.freedesktop.DBus.Properties', 'Get', new GLib.Variant('(ss)', ['app.vantory.Vantory1', '$1']),
            null, Gio.DBusCallFlags.NONE, 5000, null);
        print(reply.deepUnpack()[0].deepUnpack());"
}
fake_call() {
    gdbus call --session --dest app.vantory.Vantory --object-path /app/vantory/Vantory \
        --method "app.vantory.Fake1.$1" "${@:2}"
}
called() { fake_call Calls | grep -qF "'$1'"; }
start_fake() {
    start gjs -m "$root/tests/shell/fake_service.js" "$interface"
    fake_pid=${pids[-1]}
    within 10 fake_call Calls
}
stop_fake() {
    kill "$fake_pid"
    wait "$fake_pid" 2>/dev/null || true
}

button='Main.panel.statusArea.vantory'
shown() { shell_true "!!$button"; }
gone() { shell_true "!$button"; }
# The label's text, without the word joiner that the extension puts before markup.
label_is() { [[ $(shell_value "$button.label.text.replace(/^\u2060/, '')") == "$1" ]]; }
# Read anew on each try: the application's line may rotate meanwhile.
label_is_line() { label_is "$(bus_property Text)"; }
# The button's rectangle in stage coordinates: x y width height.
button_rectangle() {
    shell_value "(() => {
        const [x, y] = $button.get_transformed_position();
        const [width, height] = $button.get_transformed_size();
        return [x, y, width, height].map(Math.round).join(' ');
    })()"
}
tooltips() { echo "Main.uiGroup.get_children().filter(c => c.has_style_class_name?.('vantory-tooltip'))"; }
tooltip_shown() { shell_true "$(tooltips).some(tooltip => tooltip.visible)"; }
no_tooltip_left() { shell_true "$(tooltips).length === 0"; }
menu_open() { shell_true "$button.menu.isOpen"; }
extension_state() { shell_value "Main.extensionManager.lookup('$uuid')?.state"; }
# Pixels of the button within 15% of the colour $2 in the screenshot $1.
pixels_of() {
    local x y width height
    read -r x y width height <<<"$(button_rectangle)"
    convert "$1" -crop "${width}x$height+$x+$y" +repage -fuzz 15% -fill black +opaque "$2" \
        -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:
}
top_bar_shot() {
    shell_screenshot "$work/screen.png" && convert "$work/screen.png" -crop 1440x"$2"+0+0 +repage "$shots/$1"
}

mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions"
cp -r "$extension" "$XDG_DATA_HOME/gnome-shell/extensions/$uuid"
started=$SECONDS
start_gnome_shell "$uuid" || fail "GNOME Shell did not start"
echo "GNOME Shell $(gnome-shell --version | awk '{print $3}') answers after $((SECONDS - started)) s"
check "the extension is enabled without error" \
    shell_true "Main.extensionManager.lookup('$uuid')?.state === 1 && !Main.extensionManager.lookup('$uuid').error"
check "no button while the application is away" gone

# --- The fake application ---
start_fake || fail "the fake application did not start"
within 10 shown || fail "no button in the top bar for the fake application"
check "the label is the line" label_is_line
check "the button's accessible name is the line" \
    test "$(shell_value "$button.accessible_name")" == "$(bus_property Text)"
check "the extension registered as the panel" within 5 called RegisterPanel

# A change of the line: the shell itself sends the change to the fake and times its way back.
fake_call Set Text "<'201 | 퀴즈 (3시간)'>" >/dev/null
shell_eval "(() => {
    const text = $button.label.clutter_text;
    const id = text.connect('notify::text', () => {
        text.disconnect(id);
        global.vantoryTestChanged = GLib.get_monotonic_time();
    });
    global.vantoryTestChanged = 0;
    global.vantoryTestSent = GLib.get_monotonic_time();
    Gio.DBus.session.call('app.vantory.Vantory', '/app/vantory/Vantory', 'app.vantory.Fake1', 'Set',
        new GLib.Variant('(sv)', ['Markup', new GLib.Variant('s',
            '<span foreground=\"#ef4444\">201</span> | 퀴즈 <span foreground=\"#22c55e\">(3시간)</span>')]),
        null, Gio.DBusCallFlags.NONE, -1, null, null);
})()" >/dev/null
check "the label follows the line" within 5 label_is '201 | 퀴즈 (3시간)'
echo "property change to label change: $(shell_value '(global.vantoryTestChanged - global.vantoryTestSent) / 1000') ms"
top_bar_shot top-bar.png 40
check "the line's colours, the first run's too, are on the button" \
    test "$(pixels_of "$work/screen.png" '#ef4444')" -gt 10 -a "$(pixels_of "$work/screen.png" '#22c55e')" -gt 10

# Hover: the tooltip under the button; a left click hides it and asks for the dashboard there.
rectangle=$(button_rectangle)
read -r x y width height <<<"$rectangle"
shell_hover $((x + width / 2)) $((y + height / 2))
check "hovering shows the tooltip" within 5 tooltip_shown
top_bar_shot tooltip.png 120
shell_click $((x + width / 2)) $((y + height / 2)) 1
check "a left click asks for the dashboard under the button ($rectangle)" within 5 called "ShowDashboard $rectangle"
check "a left click hides the tooltip" within 5 eval '! tooltip_shown'
check "a left click opens no menu" eval '! menu_open'

# Right click: the menu of the line and the application's entries; a choice calls its method.
shell_click $((x + width / 2)) $((y + height / 2)) 3
check "a right click opens the menu" within 5 menu_open
rows=$(shell_value "$button.menu._getMenuItems().flatMap(i => i._getMenuItems?.() ?? [i])
    .map(i => i.has_style_class_name('popup-separator-menu-item') ? '---'
        : i.label.text + (i.sensitive ? '' : ' (off)')).join(' / ')")
check "the menu: $rows" test "$rows" == \
    '201 | 퀴즈 (3시간) (off) / --- / 캘린더 열기 / 지금 새로 고침 / --- / 로그인 (off) / 종료'
within 5 shell_true "$button.menu.actor.mapped && $button.menu.actor.opacity === 255" || true
top_bar_shot menu.png 330
item=$(shell_value "(() => {
    const item = $button.menu._getMenuItems().flatMap(i => i._getMenuItems?.() ?? [i])
        .find(i => i.label?.text === '지금 새로 고침');
    const [x, y] = item.get_transformed_position();
    const [width, height] = item.get_transformed_size();
    return [x + width / 2, y + height / 2].map(Math.round).join(' ');
})()")
shell_click ${item% *} ${item#* } 1
check "choosing an entry calls its method" within 5 called Refresh
check "and closes the menu" within 5 eval '! menu_open'

# The keyboard: Enter on the focused button opens the menu, Escape closes it.
shell_eval "$button.grab_key_focus()" >/dev/null
shell_key KEY_Return
check "Enter on the focused button opens the menu" within 5 menu_open
shell_key KEY_Escape
check "Escape closes it" within 5 eval '! menu_open'

# The application leaves with the menu and the tooltip open: all of it goes, and comes back with it.
shell_click $((x + width / 2)) $((y + height / 2)) 3
within 5 menu_open || true
stop_fake
check "the button goes with the application" within 5 gone
check "no tooltip is left" no_tooltip_left
check "no grab is left" shell_true 'Main.modalCount === 0'
start_fake
check "the button returns with the application" within 10 shown
check "and registers again" within 5 called RegisterPanel

# Disabled, the extension unregisters and leaves nothing; enabled, it is back.
gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Extensions.DisableExtension "$uuid" >/dev/null
check "disabling removes the button" within 5 gone
check "disabling unregisters the panel" within 5 called UnregisterPanel
check "disabling leaves no tooltip" no_tooltip_left
gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Extensions.EnableExtension "$uuid" >/dev/null
check "enabling brings it back" within 10 shown
check "the extension is enabled without error, state $(extension_state)" \
    shell_true "Main.extensionManager.lookup('$uuid')?.state === 1 && !Main.extensionManager.lookup('$uuid').error"
stop_fake
within 5 gone || true

# --- The real application ---
if [[ -x $app ]] && "$app" --version >/dev/null 2>&1; then
    mkdir -p "$work/data"
    [[ -x $(dirname "$app")/vantory-sample ]] && "$(dirname "$app")/vantory-sample" "$work/data" 60 >/dev/null
    # The application chooses its platform itself, as in a student's session.
    start env -u QT_QPA_PLATFORM "$app" --data-dir "$work/data"
    check "the application's button appears" within 20 shown
    check "its label is the application's line" within 5 label_is_line
    # The same line as the bar mode prints for the same file (the rotation may move between reads).
    bar_line() { "$app" --bar=i3blocks --once --data-dir "$work/data" | sed -E 's/.*"full_text":"([^"]*)".*/\1/'; }
    check "its label is the line that --bar prints" within 10 eval 'label_is "$(bar_line)"'
    # The application rotates its line every few seconds: the label follows within a second.
    before=$(bus_property Text)
    line_moved() { [[ $(bus_property Text) != "$before" ]]; }
    within 30 line_moved || true
    check "the label follows the application's line within a second" within 1 label_is_line
    shell_hover 720 600
    top_bar_shot app-top-bar.png 40
    # The application's windows on screen, managed ones only (the actor of a window just closed
    # may linger a moment): its strip is a dock, its dashboard anything else.
    windows='global.display.list_all_windows()
        .filter(w => w.get_wm_class()?.toLowerCase() === "vantory" && w.showing_on_its_workspace())'
    dashboards="$windows.filter(w => w.get_window_type() !== Meta.WindowType.DOCK)"
    strip_hidden() { shell_true "!$windows.some(w => w.get_window_type() === Meta.WindowType.DOCK)"; }
    check "the application's strip is hidden while the top bar shows the line" within 5 strip_hidden

    # A left click opens the dashboard right under the button, another closes it.
    read -r x y width height <<<"$(button_rectangle)"
    shell_click $((x + width / 2)) $((y + height / 2)) 1
    dashboard_under_button() {
        shell_true "$dashboards.map(w => w.get_frame_rect())
            .some(r => r.y === $((y + height)) && r.x <= $((x + width / 2)) && $((x + width / 2)) < r.x + r.width)"
    }
    check "a left click opens the application's dashboard under the button" within 10 dashboard_under_button
    top_bar_shot app-screen.png 900
    shell_click $((x + width / 2)) $((y + height / 2)) 1
    check "another left click closes it" within 10 shell_true "$dashboards.length === 0"
    check "the strip is still hidden" strip_hidden
    # The pictures of the docs: the tooltip on hover, the menu of the application's entries.
    shell_hover 720 600
    shell_hover $((x + width / 2)) $((y + height / 2))
    within 5 tooltip_shown || true
    top_bar_shot app-tooltip.png 175
    shell_click $((x + width / 2)) $((y + height / 2)) 3
    check "a right click opens the application's menu" within 5 menu_open
    within 5 shell_true "$button.menu.actor.mapped && $button.menu.actor.opacity === 255" || true
    top_bar_shot app-menu.png 480
    shell_key KEY_Escape
    within 5 eval '! menu_open' || true

    # Without the extension the strip is back, inside the usable area below GNOME's 32 px top bar.
    gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Extensions.DisableExtension "$uuid" >/dev/null
    strip_below_top_bar() {
        shell_true "$windows.filter(w => w.get_window_type() === Meta.WindowType.DOCK)
            .some(w => w.get_frame_rect().y >= 32 && w.get_frame_rect().x + w.get_frame_rect().width <= 1440)"
    }
    check "with the extension disabled the strip shows below the top bar" within 10 strip_below_top_bar
    top_bar_shot app-strip.png 80
    gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Extensions.EnableExtension "$uuid" >/dev/null
    check "enabled again, the line is back in the top bar and the strip hidden" within 10 eval 'shown && strip_hidden'
else
    echo "skipped: the real application ($app does not run)"
fi

check "GNOME Shell logged no error of the extension" eval "! grep -B2 -A8 'JS ERROR' '$work/log' | grep -q '$uuid'"
echo "screenshots: $shots"
((failures == 0)) || tail -n 40 "$work/log"
echo "$passes passed, $failures failed"
((failures == 0))
