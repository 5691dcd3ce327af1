#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Vantory's GNOME Shell extension in a real GNOME Shell 43, headless (Wayland, 1440×900):
#   gnome_top_bar.sh <vantory binary> <extension folder, e.g. <build>/shell/gnome/legacy>
# The extension loads without error in a real shell, and the real application puts its line in the
# top bar, opens its dashboard under the button with the keyboard focus (Escape, a click on the
# desktop and another click on the button close it), and hands its strip over and back, also over
# twenty quick disable/enable cycles of the extension. The extension's
# own logic (markup, menu, tooltip, the application coming and going) is tested under gjs against
# stand-ins (tests/shell), in the default suite.
# APP_LANGUAGE=en runs the application in English (the menu and the tooltip are checked for it, the
# screenshots named *-en.png); Korean otherwise.
# SHOTS=<folder> keeps the screenshots; KEEP=1 keeps the scratch folder.
set -euo pipefail
app=$1
extension=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
uuid=vantory@vantory.app

source "$root/scripts/virtual-desktop.sh"
source "$root/scripts/gnome-session.sh"
require "packages gnome-shell gjs imagemagick x11-utils" gnome-shell gjs gdbus gsettings dbus-daemon convert xwininfo
[[ -f $extension/extension.js && -f $extension/metadata.json ]] || fail "no extension in $extension"
[[ ${KEEP:-} == 1 ]] && trap 'stop_session; echo "kept $work"' EXIT
shots=${SHOTS:-$work/shots}
mkdir -p "$shots"
shots=$(realpath "$shots")

# The application's property $1 as plain text, from whoever owns the name.
bus_property() {
    gjs -c "const {Gio, GLib} = imports.gi;
        const reply = Gio.DBus.session.call_sync('app.vantory.Vantory', '/app/vantory/Vantory',
            'org.freedesktop.DBus.Properties', 'Get', new GLib.Variant('(ss)', ['app.vantory.Vantory1', '$1']),
            null, Gio.DBusCallFlags.NONE, 5000, null);
        print(reply.deepUnpack()[0].deepUnpack());"
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
menu_open() { shell_true "$button.menu.isOpen"; }
extension_state() { shell_value "Main.extensionManager.lookup('$uuid')?.state"; }
language=${APP_LANGUAGE:-ko}
top_bar_shot() {
    local name=$1
    [[ $language == en ]] && name=${name%.png}-en.png
    shell_screenshot "$work/screen.png" && convert "$work/screen.png" -crop 1440x"$2"+0+0 +repage "$shots/$name"
}

mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions"
cp -r "$extension" "$XDG_DATA_HOME/gnome-shell/extensions/$uuid"
started=$SECONDS
start_gnome_shell "$uuid" || fail "GNOME Shell did not start"
echo "GNOME Shell $(gnome-shell --version | awk '{print $3}') answers after $((SECONDS - started)) s"
check "the extension is enabled without error" \
    shell_true "Main.extensionManager.lookup('$uuid')?.state === 1 && !Main.extensionManager.lookup('$uuid').error"
check "no button while the application is away" gone

# --- The real application ---
if [[ -x $app ]] && "$app" --version >/dev/null 2>&1; then
    mkdir -p "$work/data"
    # Courses named as a student of the language would.
    [[ -x $(dirname "$app")/vantory-sample ]] && LANGUAGE=$language LANG=en_US.UTF-8 LC_ALL= \
        "$(dirname "$app")/vantory-sample" "$work/data" 60 >/dev/null
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

    # A left click opens the dashboard right under the button with the keyboard focus; Escape, a
    # click on the desktop and another click on the button close it.
    read -r x y width height <<<"$(button_rectangle)"
    click_button() { shell_click $((x + width / 2)) $((y + height / 2)) 1; }
    dashboard_under_button() {
        shell_true "$dashboards.map(w => w.get_frame_rect())
            .some(r => r.y === $((y + height)) && r.x <= $((x + width / 2)) && $((x + width / 2)) < r.x + r.width)"
    }
    dashboard_focused() { shell_true "$dashboards.some(w => w.has_focus())"; }
    no_dashboard() { shell_true "$dashboards.length === 0"; }
    # A new virtual keyboard's first key does not reach XWayland's windows.
    shell_key KEY_Shift_L
    click_button
    check "a left click opens the application's dashboard under the button" within 10 dashboard_under_button
    check "the dashboard has the keyboard focus" within 5 dashboard_focused
    top_bar_shot app-screen.png 900
    shell_key KEY_Escape
    check "Escape closes it" within 5 no_dashboard
    click_button
    within 10 dashboard_focused || true
    shell_click 300 600 1
    check "a click on the desktop closes it" within 5 no_dashboard
    click_button
    within 10 dashboard_focused || true
    click_button
    check "another left click on the button closes it" within 5 no_dashboard
    sleep 1
    check "and it stays closed" no_dashboard
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
    # Everything the application words in the top bar: its menu and its tooltip.
    words="[...$button.menu._getMenuItems().map(item => item.label?.text ?? ''),
        ...$(tooltips).map(tooltip => tooltip.text)].join(' ')"
    if [[ $language == en ]]; then
        check "the menu and the tooltip speak English" shell_true "!/[\uAC00-\uD7A3]/.test($words)"
    else
        check "the menu and the tooltip speak Korean" shell_true "/[\uAC00-\uD7A3]/.test($words)"
    fi
    shell_key KEY_Escape
    check "Escape closes it" within 5 eval '! menu_open'
    shell_eval "$button.grab_key_focus()" >/dev/null
    shell_key KEY_Return
    check "Enter on the focused button opens it" within 5 menu_open
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

    # Quick disable/enable cycles (GNOME does this to every extension after one that is switched
    # off) show and hide the strip in quick succession: after each, the top bar shows the line,
    # the strip's X window is unmapped and the usable area starts right below GNOME's 32 px bar.
    work_area_top() {
        shell_value "global.workspace_manager.get_active_workspace().get_work_area_for_monitor(0).y"
    }
    strip_windows() { xwininfo -root -tree | awk '/\("vantory" "Vantory"\)/ {print $1}'; }
    strip_unmapped() {
        local id
        for id in $(strip_windows); do
            xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DOCK || continue
            xwininfo -id "$id" | grep -q IsUnMapped || return 1
        done
    }
    settled() { shown && strip_hidden && strip_unmapped && [[ $(work_area_top) == 32 ]]; }
    cycles=0
    for cycle in $(seq 20); do
        shell_eval "Main.extensionManager.disableExtension('$uuid');
            Main.extensionManager.enableExtension('$uuid')" >/dev/null
        within 10 settled && cycles=$((cycles + 1)) || echo "cycle $cycle: work area top $(work_area_top)"
    done
    check "after each of 20 quick disable/enable cycles the work area starts at 32, no strip mapped ($cycles)" \
        test "$cycles" = 20
    # The strip that comes back is painted: its backdrop and its line, not one flat colour.
    gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Extensions.DisableExtension "$uuid" >/dev/null
    within 10 strip_below_top_bar || true
    strip_painted() {
        local rectangle
        rectangle=$(shell_value "$windows.filter(w => w.get_window_type() === Meta.WindowType.DOCK)
            .map(w => w.get_frame_rect()).map(r => r.width + 'x' + r.height + '+' + r.x + '+' + r.y)[0]")
        shell_screenshot "$work/strip.png" &&
            (($(convert "$work/strip.png" -crop "$rectangle" +repage -format %k info:) > 8))
    }
    check "after the cycles, disabled, the strip shows painted" within 10 strip_painted
    top_bar_shot app-strip-after-cycles.png 80
else
    echo "skipped: the real application ($app does not run)"
fi

check "GNOME Shell logged no error of the extension" eval "! grep -B2 -A8 'JS ERROR' '$work/log' | grep -q '$uuid'"
echo "screenshots: $shots"
((failures == 0)) || tail -n 40 "$work/log"
echo "$passes passed, $failures failed"
((failures == 0))
