#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs Vantory on Wayland desktops without a screen, checks what a student there gets and takes the
# pictures for the docs:
#   bash scripts/wayland-screenshots.sh [build folder, default build/release] [sway] [kde]
# sway 1.7 with waybar: the tray icon alone and the waybar module by default, no tiled strip; the
# window that the module's click and the tray icon's open has the focus, Escape and another window
# close it; --with-strip brings the strip; an unreachable XWayland (a stale DISPLAY) leaves the app
# on Wayland.
# KDE Plasma 5.27 with two virtual desktops: the strip through XWayland on both, and the tray icon;
# the dashboard opens from either with the focus, at the panel's end from the tray, and Escape and
# another window close it.
# Keys and the strip's clicks go through XTest into XWayland (neither compositor has an input device
# here); a tray icon's click is the host's StatusNotifierItem Activate call.
# Installs the desktops when missing (as root); takes sway-waybar.png and kde-plasma.png into
# $SHOTS (SHOTS=docs/screenshots renews the README's), else into the scratch folder, so a test run
# leaves the tracked pictures alone. Exits non-zero when a check fails; the logs and pictures stay in
# $work when KEEP=1.
set -euo pipefail
shots=${SHOTS:+$(realpath -m "$SHOTS")}
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
desktops=("$@")
((${#desktops[@]})) || desktops=(sway kde)

source scripts/virtual-desktop.sh
out=${shots:-$work/shots}
# The app must choose its platform itself here, as on a student's desktop.
unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY

# The compositors refuse root, and the session's processes must read the binaries and the data: an
# ordinary user, a copy of the binaries it can read and a folder of its own.
user=$(id -un)
if ((EUID == 0)); then
    user=swaytest
    id -u "$user" >/dev/null 2>&1 || useradd -m -s /bin/bash "$user"
fi
# setpriv, unlike runuser, becomes the command, so the pid that start_logged keeps is the command's.
as_user=()
((EUID == 0)) && as_user=(setpriv --reuid="$user" --regid="$user" --init-groups --)
# Processes that a desktop starts out of reach of stop_all (D-Bus activated, forked twice) carry its
# XDG_RUNTIME_DIR: stop them by that.
stop_session() {
    local pid
    for pid in $(pgrep -u "$user" || true); do
        if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -q -x "XDG_RUNTIME_DIR=$1"; then
            kill "$pid" 2>/dev/null || true
        fi
    done
}
if [[ ${KEEP:-} == 1 ]]; then
    trap 'stop_all; stop_session "$work/sway/run"; stop_session "$work/kde/run"; echo "kept $work"' EXIT
else
    trap 'stop_all; stop_session "$work/sway/run"; stop_session "$work/kde/run"; rm -rf "$work"' EXIT
fi
chmod 711 "$work"
cp -r "$build/bin" "$work/bin"
chmod -R a+rX "$work/bin"
bin=$work/bin

# Starts "$@" in the background, its output in the file $1.
start_logged() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 &
    pids+=($!)
}
# Stops the process $1 that start_logged started and waits for its end.
stop_pid() {
    kill "$1" 2>/dev/null || true
    within 10 sh -c "! kill -0 $1" || kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
# Whether the tray's watcher is on the session bus at $1.
watcher_up() {
    "${as_user[@]}" dbus-send --bus="$1" --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetNameOwner string:org.kde.StatusNotifierWatcher >/dev/null 2>&1
}
# The items in the tray of the session bus at $1, one object path a line.
tray_items() {
    "${as_user[@]}" dbus-send --bus="$1" --print-reply=literal --dest=org.kde.StatusNotifierWatcher \
        /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems 2>/dev/null | tr -s ' ' '\n' | grep -v -E '^(variant|array|\[|\])?$' ||
        true
}

# Runs "$@" as the user in the session that the calling desktop's function keeps in `session`.
X() { "${as_user[@]}" env -i "${session[@]}" "$@"; }
# The X11 id of the app's dashboard while it shows: its one window titled "Vantory".
dashboard() {
    local id
    for id in $(X xdotool search --onlyvisible --name '^Vantory$' 2>/dev/null); do
        X xprop -id "$id" WM_CLASS 2>/dev/null | grep -q '"vantory"' && { echo "$id"; return 0; }
    done
    return 1
}
no_dashboard() { ! dashboard >/dev/null; }
dashboard_focused() {
    local id
    id=$(dashboard) && [[ $(X xprop -root _NET_ACTIVE_WINDOW) == *"$(printf '0x%x' "$id")" ]]
}
# Clicks the tray icon of the process $2 as a StatusNotifierItem host on the bus at $1 does: Activate
# at the point ($3, $4).
click_tray_icon() {
    local item owner
    for item in $(tray_items "$1"); do
        owner=$(X dbus-send --bus="$1" --print-reply=literal --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.GetConnectionUnixProcessID string:"${item%%/*}" | awk '{print $2}')
        [[ $owner == "$2" ]] || continue
        X dbus-send --bus="$1" --print-reply --dest="${item%%/*}" "/${item#*/}" org.kde.StatusNotifierItem.Activate \
            int32:"$3" int32:"$4" >/dev/null
        return
    done
    return 1
}

# Vantory speaks the texts of record, Korean, whatever the session's locale (C.UTF-8 here), unless
# APP_LANGUAGE says otherwise: the checks look for its Korean window titles.
keep_language() { # <the app's XDG_CONFIG_HOME>
    mkdir -p "$1/Vantory"
    printf '[General]\nlanguage=%s\n' "${APP_LANGUAGE:-ko}" >"$1/Vantory/Vantory.conf"
}

run_sway() {
    install_missing sway waybar grim xwayland jq dbus imagemagick fonts-noto-cjk xdotool x11-utils
    local s=$work/sway
    mkdir -p "$s/home/.config/waybar" "$s/run" "$s/data"
    "$bin/vantory-sample" "$s/data" 60 >/dev/null
    local bus=unix:path=$s/run/bus
    local app="$bin/vantory --data-dir $s/data"
    cat >"$s/home/.config/waybar/config" <<CONF
{
    "layer": "top",
    "position": "top",
    "height": 30,
    "modules-left": ["sway/workspaces"],
    "modules-right": ["custom/vantory", "tray", "clock"],
    "tray": {"spacing": 8},
    "clock": {"format": "{:%H:%M}"},
    "custom/vantory": {
        "exec": "$app --bar=waybar",
        "return-type": "json",
        "on-click": "$app --show-calendar"
    }
}
CONF
    cat >"$s/home/.config/waybar/style.css" <<CONF
* { font-family: "Noto Sans CJK KR", sans-serif; font-size: 14px; }
window#waybar { background: #1d1f21; color: #e8e8e8; }
#workspaces button { padding: 0 8px; color: #e8e8e8; }
#workspaces button.focused { background: #3a3f44; }
#custom-vantory, #tray, #clock { padding: 0 10px; }
#custom-vantory.urgent, #custom-vantory.overdue { font-weight: bold; }
CONF
    cat >"$s/sway.conf" <<CONF
output HEADLESS-1 resolution 1440x900 bg #2e3440 solid_color
xwayland force
# sway runs swaybar_command as one program name, without arguments: waybar finds its files in
# XDG_CONFIG_HOME.
bar {
    swaybar_command waybar
}
CONF
    chown -R "$user" "$s"
    chmod 700 "$s/run"

    local env=(HOME="$s/home" XDG_CONFIG_HOME="$s/home/.config" XDG_DATA_HOME="$s/home/.local/share"
        XDG_CACHE_HOME="$s/home/.cache" XDG_RUNTIME_DIR="$s/run" DBUS_SESSION_BUS_ADDRESS="$bus"
        PATH="$PATH" LANG=C.UTF-8 USER="$user" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1
        WLR_RENDERER=pixman VANTORY_ASSESSMENT_URL=http://127.0.0.1:9 VANTORY_CANVAS_URL=http://127.0.0.1:9)
    start_logged "$s/dbus.log" "${as_user[@]}" env -i "${env[@]}" dbus-daemon --session --nofork --address="$bus"
    within 10 test -S "$s/run/bus"
    start_logged "$s/sway.log" "${as_user[@]}" env -i "${env[@]}" sway -c "$s/sway.conf"
    within 20 sh -c "ls $s/run/sway-ipc.*.sock" || { cat "$s/sway.log"; return 1; }
    local sock
    sock=$(ls "$s"/run/sway-ipc.*.sock)
    # What sway gives the programs it starts (WAYLAND_DISPLAY, SWAYSOCK, XWayland's DISPLAY), so the
    # app runs as if a student's config started it, yet under this script's control.
    swaymsg -s "$sock" exec "env >$s/session.env.tmp && mv $s/session.env.tmp $s/session.env" >/dev/null
    within 10 test -s "$s/session.env"
    local session
    mapfile -t session <"$s/session.env"
    local wayland_display
    wayland_display=$(sed -n 's/^WAYLAND_DISPLAY=//p' "$s/session.env")
    # Qt looks for the tray once, at its start: waybar's watcher must be there first.
    within 20 watcher_up "$bus" || { echo "waybar's tray did not start"; cat "$s/sway.log"; return 1; }
    local xdisplay
    xdisplay=$(sed -n 's/^DISPLAY=://p' "$s/session.env")
    within 20 test -S "/tmp/.X11-unix/X$xdisplay"
    sleep 2

    # Views in sway's tree, one a line: shell, app_id or X11 class, floating or tiled, the rectangle.
    views() {
        swaymsg -s "$sock" -t get_tree | jq -r '.. | objects
            | select(.pid? != null and (.type == "con" or .type == "floating_con"))
            | "\(.shell) \(.app_id // .window_properties.class) \(.type)"
              + " \(.rect.width)x\(.rect.height)+\(.rect.x)+\(.rect.y) pid=\(.pid) \(.name)"'
    }
    # Starts the app as the session would, with the extra environment and arguments given, into
    # the log $1; a fresh settings folder each time, so no earlier choice is remembered.
    launch() {
        local name=$1
        shift
        local extra=()
        while [[ ${1:-} == *=* ]]; do extra+=("$1"); shift; done
        keep_language "$s/config-$name" && chown -R "$user" "$s/config-$name"
        start_logged "$s/app-$name.log" "${as_user[@]}" env -i "${session[@]}" XDG_CONFIG_HOME="$s/config-$name" \
            "${extra[@]}" "$bin/vantory" --data-dir "$s/data" "$@"
        app_pid=$!
        sleep 8
    }
    alive() { kill -0 "$app_pid" 2>/dev/null; }
    vantory_views() { views | grep -i vantory || true; }
    registered() { [[ -n $(tray_items "$bus") ]]; }
    unregistered() { [[ -z $(tray_items "$bus") ]]; }
    on_wayland() { vantory_views | grep -q '^xdg_shell '; }

    echo "== sway: default (DISPLAY=:$xdisplay, WAYLAND_DISPLAY=$wayland_display)"
    launch default
    check "the app runs" alive
    echo "views:"; views | sed 's/^/  /'
    check "no Vantory window in the tree" test -z "$(vantory_views)"
    echo "tray items: $(tray_items "$bus" | tr '\n' ' ')"
    check "the tray icon is registered" registered
    local follower
    follower=$(pgrep -u "$user" -f -- "^$bin/vantory --data-dir $s/data --bar=waybar" | head -n1 || true)
    check "waybar runs the module (pid ${follower:-none})" test -n "$follower"
    "${as_user[@]}" env -i "${session[@]}" grim "$s/shot.png"
    # The line rotates every few seconds: the picture shows one of these.
    echo "the module's lines (--once, then one rotation):"
    { "${as_user[@]}" env -i "${session[@]}" "$bin/vantory" --bar=waybar --once --data-dir "$s/data"
        "${as_user[@]}" env -i "${session[@]}" timeout 13 "$bin/vantory" --bar=waybar --data-dir "$s/data" || true
    } | jq -r '"  \(.class): \(.text)"' | sed 's/<[^>]*>//g'
    mkdir -p "$out"
    convert "$s/shot.png" -crop 1440x120+0+0 +repage -strip "$out/sway-waybar.png"
    echo "wrote $out/sway-waybar.png"

    # The module's click runs "vantory --show-calendar" (sway has no pointer device here to click
    # with): the calendar window floats with the focus, and Escape closes it.
    focused_view() {
        swaymsg -s "$sock" -t get_tree | jq -r '.. | objects | select(.focused? == true and .pid? != null) | .name'
    }
    X "$bin/vantory" --data-dir "$s/data" --show-calendar
    check "the module's click opens the calendar with the focus" within 10 eval '[[ $(focused_view) == "Vantory 캘린더" ]]'
    X xdotool key Escape
    check "Escape closes it" within 5 eval '! vantory_views | grep -q "Vantory 캘린더"'
    click_tray_icon "$bus" "$app_pid" 1366 15
    check "a click on the tray icon opens the dashboard with the focus" within 10 dashboard_focused
    X xdotool key Escape
    check "Escape closes it" within 5 no_dashboard
    click_tray_icon "$bus" "$app_pid" 1366 15
    within 10 dashboard_focused || true
    start_logged "$s/other.log" "${as_user[@]}" env -i "${session[@]}" xmessage "another window"
    check "another window taking the focus closes it" within 10 no_dashboard
    stop_pid "${pids[-1]}"
    stop_pid "$app_pid"
    check "the tray icon leaves with the app" within 5 unregistered

    echo "== sway: --with-strip"
    launch with-strip --with-strip
    check "the app runs" alive
    echo "views:"; vantory_views | sed 's/^/  /'
    check "the strip is a window" test -n "$(vantory_views)"
    "${as_user[@]}" env -i "${session[@]}" grim "$s/shot-with-strip.png"
    stop_pid "$app_pid"

    echo "== sway: XWayland unreachable (DISPLAY=:77)"
    launch stale-display DISPLAY=:77
    check "the app runs" alive
    check "the tray icon is registered" registered
    stop_pid "$app_pid"
    launch stale-display-strip DISPLAY=:77 --with-strip
    check "the app runs" alive
    echo "views:"; vantory_views | sed 's/^/  /'
    check "the strip is a Wayland window" on_wayland
    stop_pid "$app_pid"
}

run_kde() {
    install_missing kwin-wayland plasma-workspace plasma-desktop kactivitymanagerd qtwayland5 xwayland \
        python3-dbus x11-utils dbus imagemagick fonts-noto-cjk xdotool
    local k=$work/kde
    mkdir -p "$k/home/.config" "$k/run" "$k/data"
    printf '[Desktops]\nNumber=2\nRows=1\n' >"$k/home/.config/kwinrc"
    "$bin/vantory-sample" "$k/data" 60 >/dev/null
    local bus=unix:path=$k/run/bus
    # The packaged kwin_wayland carries a file capability that a container refuses; a copy has none.
    cp /usr/bin/kwin_wayland "$k/kwin_wayland"
    cat >"$k/session.sh" <<CONF
#!/bin/bash
env >"$k/session.env.tmp" && mv "$k/session.env.tmp" "$k/session.env"
# D-Bus would start the activity manager without a display, and plasmashell gives up without it.
QT_QPA_PLATFORM=wayland /usr/lib/x86_64-linux-gnu/libexec/kactivitymanagerd >"$k/activities.log" 2>&1 &
QT_QPA_PLATFORM=wayland kded5 >"$k/kded.log" 2>&1 &
QT_QPA_PLATFORM=wayland plasmashell --no-respawn >"$k/plasmashell.log" 2>&1 &
until [ -e "$k/done" ]; do sleep 0.5; done
CONF
    # KWin writes the picture into the pipe while it answers: read it in a thread.
    cat >"$k/shot.py" <<'CONF'
import dbus, os, sys, threading
r, w = os.pipe()
chunks = []
reader = threading.Thread(target=lambda: chunks.extend(iter(lambda: os.read(r, 1 << 20), b"")))
reader.start()
shot = dbus.SessionBus().get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2")
reply = shot.CaptureWorkspace({"native-resolution": True}, dbus.types.UnixFd(w),
                              dbus_interface="org.kde.KWin.ScreenShot2")
os.close(w)
reader.join()
width, height, stride = int(reply["width"]), int(reply["height"]), int(reply["stride"])
data = b"".join(chunks)
rows = [data[y * stride:y * stride + width * 4] for y in range(height)]
with open(sys.argv[1], "wb") as out:
    out.write(b"".join(rows))
print(f"{width}x{height}")
CONF
    chmod 755 "$k/session.sh" "$k/kwin_wayland"
    chown -R "$user" "$k"
    chmod 700 "$k/run"

    local env=(HOME="$k/home" XDG_CONFIG_HOME="$k/home/.config" XDG_DATA_HOME="$k/home/.local/share"
        XDG_CACHE_HOME="$k/home/.cache" XDG_RUNTIME_DIR="$k/run" DBUS_SESSION_BUS_ADDRESS="$bus"
        PATH="$PATH" LANG=C.UTF-8 USER="$user" XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true
        KDE_SESSION_VERSION=5 XDG_SESSION_TYPE=wayland KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1
        VANTORY_ASSESSMENT_URL=http://127.0.0.1:9 VANTORY_CANVAS_URL=http://127.0.0.1:9)
    start_logged "$k/dbus.log" "${as_user[@]}" env -i "${env[@]}" dbus-daemon --session --nofork --address="$bus"
    within 10 test -S "$k/run/bus"
    start_logged "$k/kwin.log" "${as_user[@]}" env -i "${env[@]}" "$k/kwin_wayland" --virtual --width 1440 \
        --height 900 --xwayland --socket wayland-kde --exit-with-session "$k/session.sh"
    local kwin_pid=$!
    within 30 test -s "$k/session.env" || { cat "$k/kwin.log"; return 1; }
    local session
    mapfile -t session <"$k/session.env"
    echo "== KDE Plasma ($(grep -E '^(DISPLAY|WAYLAND_DISPLAY)=' "$k/session.env" | tr '\n' ' '))"
    within 30 watcher_up "$bus" || { echo "no tray watcher"; cat "$k/kded.log"; return 1; }
    # plasmashell lays out its panel and tray for a while after it starts.
    sleep 15
    keep_language "$k/config-default" && chown -R "$user" "$k/config-default"
    start_logged "$k/app.log" "${as_user[@]}" env -i "${session[@]}" XDG_CONFIG_HOME="$k/config-default" \
        "$bin/vantory" --data-dir "$k/data"
    app_pid=$!
    sleep 8
    check "the app runs" kill -0 "$app_pid"
    echo "tray items: $(tray_items "$bus" | tr '\n' ' ')"
    check "the tray icon is registered" test -n "$(tray_items "$bus")"
    # The strip is the app's only X11 window of a real size: "title": ("vantory" "Vantory")  WxH+X+Y  +X+Y
    local strip
    strip=$("${as_user[@]}" env -i "${session[@]}" xwininfo -root -tree | grep '("vantory" "Vantory")' || true)
    echo "the strip: ${strip:-none}"
    local width=0 x=0 y=0
    [[ $strip =~ \ ([0-9]+)x[0-9]+[-+][0-9]+[-+][0-9]+\ +\+(-?[0-9]+)\+(-?[0-9]+)$ ]] &&
        width=${BASH_REMATCH[1]} x=${BASH_REMATCH[2]} y=${BASH_REMATCH[3]}
    check "the strip is at the top right (right edge at $((x + width)), top at $y)" \
        test "$width" -gt 0 -a $((x + width)) -ge 1400 -a $((x + width)) -le 1440 -a "$y" -lt 60
    if [[ -n $strip ]]; then
        "${as_user[@]}" env -i "${session[@]}" xprop -id "$(awk '{print $1}' <<<"$strip")" _NET_WM_WINDOW_TYPE \
            _NET_WM_STRUT_PARTIAL | sed 's/^/  /'
    fi
    # A PNG of the whole screen at $1.
    kde_shot() {
        local size
        size=$(X /usr/bin/python3 "$k/shot.py" "$k/shot.raw") &&
            convert -size "$size" -depth 8 bgra:"$k/shot.raw" -alpha off -strip "$1"
    }
    kde_shot "$k/shot.png"
    mkdir -p "$out"
    # The wallpaper makes a large picture; 256 colours keep the text sharp at a third of the size.
    convert "$k/shot.png" -strip -dither None -colors 256 "$out/kde-plasma.png"
    echo "wrote $out/kde-plasma.png"

    # KWin puts a window on the current desktop when it maps it: the strip asks for all of them.
    local strip_id
    strip_id=$(awk '{print $1}' <<<"$strip")
    check "the strip is on every desktop" eval 'X xprop -id "$strip_id" _NET_WM_DESKTOP | grep -q "= 4294967295"'
    X xdotool set_desktop 1
    check "the second desktop shows" within 5 eval '[[ $(X xdotool get_desktop) == 1 ]]'
    kde_shot "$k/desktop2.png"
    strip_corner() { convert "$k/desktop2.png" -crop 1x1+$((x + 2))+$((y + 2)) -format '%[hex:p{0,0}]' info:; }
    check "the strip shows there" eval '[[ $(strip_corner) == 1F1F1F* ]]'
    X xdotool set_desktop 0

    # The dashboard takes the focus when it opens, from the strip and from the tray icon; Escape and
    # another window taking the focus close it. Without the icon's geometry it opens at the right
    # end of the bottom panel, above it.
    X xdotool mousemove $((x + width / 2)) $((y + 13)) click 1
    check "a click on the strip opens the dashboard with the focus" within 10 dashboard_focused
    X xdotool key Escape
    check "Escape closes it" within 5 no_dashboard
    click_tray_icon "$bus" "$app_pid" 1400 880
    check "a click on the tray icon opens it with the focus" within 10 dashboard_focused
    local area shown
    area=$(X xprop -root _NET_WORKAREA | awk -F'= ' '{split($2, v, ", "); print v[1] + v[3], v[2] + v[4]}')
    shown=$(X xwininfo -id "$(dashboard)" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
        /Width:/ {w = $2} /Height:/ {h = $2} END {print x + w, y + h}')
    check "at the right end above the panel (bottom right $shown, usable area to $area)" test "$shown" = "$area"
    kde_shot "$k/dashboard.png"
    start_logged "$k/other.log" "${as_user[@]}" env -i "${session[@]}" xmessage "another window"
    check "another window taking the focus closes it" within 10 no_dashboard
    stop_pid "${pids[-1]}"
    stop_pid "$app_pid"
    touch "$k/done"
    within 10 sh -c "! kill -0 $kwin_pid" || stop_pid "$kwin_pid"
}

for desktop in "${desktops[@]}"; do
    "run_$desktop"
done
((failures == 0)) || { echo "$failures check(s) failed (KEEP=1 keeps the logs)"; exit 1; }
