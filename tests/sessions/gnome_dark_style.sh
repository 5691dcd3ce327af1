#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Vantory's windows in GNOME's dark style, in a real GNOME Shell 43 headless (Wayland, 1440×900)
# with the desktop's settings portal running, as a GNOME session starts it:
#   gnome_dark_style.sh <vantory binary>
# With the style set to dark the dashboard, the settings and the colour window open dark; set to
# light (or to no preference) while the colour window is open, it turns light at once. The choice
# that overrides the desktop is tested offscreen (ColorSchemeTest, SettingsScreenTest).
# SHOTS=<folder> keeps the screenshots.
set -euo pipefail
app=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

source "$root/scripts/virtual-desktop.sh"
source "$root/scripts/gnome-session.sh"
require "packages gnome-shell xdg-desktop-portal-gnome imagemagick" gnome-shell gdbus gsettings convert \
    dbus-update-activation-environment
[[ -x /usr/libexec/xdg-desktop-portal-gnome ]] || fail "missing xdg-desktop-portal-gnome"
"$app" --version >/dev/null 2>&1 || fail "$app does not run"
shots=${SHOTS:-$work/shots}
mkdir -p "$shots"
shots=$(realpath "$shots")

start_gnome_shell || fail "GNOME Shell did not start"
# What a session hands to the services its bus starts: the portal's GNOME side needs the display.
dbus-update-activation-environment WAYLAND_DISPLAY DISPLAY XAUTHORITY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE
gsettings set org.gnome.desktop.interface color-scheme prefer-dark
# A session starts the portal early; the application only asks one that already runs.
portal_scheme() {
    gdbus call --session --dest org.freedesktop.portal.Desktop --object-path /org/freedesktop/portal/desktop \
        --method org.freedesktop.portal.Settings.Read org.freedesktop.appearance color-scheme
}
check "the portal reports the dark style" within 20 eval '[[ $(portal_scheme) == *"uint32 1"* ]]'

mkdir -p "$work/data"
[[ -x $(dirname "$app")/vantory-sample ]] && "$(dirname "$app")/vantory-sample" "$work/data" 60 >/dev/null
start env -u QT_QPA_PLATFORM "$app" --data-dir "$work/data"
vantory() {
    gdbus call --session --dest app.vantory.Vantory --object-path /app/vantory/Vantory \
        --method "app.vantory.Vantory1.$1" "${@:2}" >/dev/null
}
check "the application is on the bus" within 20 vantory Refresh

# The application's one window that is not its strip, as "x y width height".
window_rectangle() {
    shell_value "(() => {
        const windows = global.display.list_all_windows().filter(w =>
            w.get_wm_class()?.toLowerCase() === 'vantory' && w.showing_on_its_workspace() &&
            w.get_window_type() !== Meta.WindowType.DOCK);
        if (windows.length !== 1)
            return '';
        const r = windows[0].get_frame_rect();
        return [r.x, r.y, r.width, r.height].join(' ');
    })()"
}
window_shown() { [[ -n $(window_rectangle) ]]; }
# The mean lightness (0 to 1) of the window's inside, away from the title bar a window manager draws.
window_lightness() {
    local x y width height
    read -r x y width height <<<"$(window_rectangle)"
    [[ -n ${height:-} ]] || return 1
    shell_screenshot "$work/screen.png" || return 1
    convert "$work/screen.png" -crop $((width - 20))x$((height / 2))+$((x + 10))+$((y + height / 2 - 10)) \
        -colorspace Gray -format '%[fx:mean]' info:
}
dark() { awk -v l="$(window_lightness)" 'BEGIN { exit !(l < 0.35) }'; }
light() { awk -v l="$(window_lightness)" 'BEGIN { exit !(l > 0.65) }'; }
window_shot() {
    local x y width height
    read -r x y width height <<<"$(window_rectangle)"
    shell_screenshot "$work/screen.png" && convert "$work/screen.png" -crop "${width}x${height}+$x+$y" +repage "$shots/$1"
}
# Closes the application's window as its title bar's close button does.
close_window() {
    shell_eval "global.display.list_all_windows().filter(w => w.get_wm_class()?.toLowerCase() === 'vantory' &&
        w.get_window_type() !== Meta.WindowType.DOCK).forEach(w => w.delete(global.get_current_time()))" >/dev/null
    within 10 eval '! window_shown'
}

vantory ShowDashboard 1240 32 200 26 || fail "the application left"
check "the dashboard opens" within 10 window_shown
check "the dashboard is dark" within 10 dark
window_shot gnome-dark-dashboard.png
# Asked again, the application closes its dashboard (a popup the window manager does not close).
vantory ShowDashboard 1240 32 200 26 || fail "the application left"
within 10 eval '! window_shown' || true
vantory ShowSettings || fail "the application left"
check "the settings open dark" within 10 eval 'window_shown && dark'
window_shot gnome-dark-settings.png
close_window || true
vantory ShowColors || fail "the application left"
check "the colour window opens dark" within 10 eval 'window_shown && dark'
shell_screenshot "$shots/screen-dark.png"

gsettings set org.gnome.desktop.interface color-scheme prefer-light
check "set to light, the open colour window turns light" within 10 light
shell_screenshot "$shots/screen-light.png"
gsettings set org.gnome.desktop.interface color-scheme default
check "with no preference it stays light" within 10 light
gsettings set org.gnome.desktop.interface color-scheme prefer-dark
check "dark again" within 10 dark

echo "screenshots: $shots"
((failures == 0)) || tail -n 40 "$work/log"
echo "$passes passed, $failures failed"
((failures == 0))
