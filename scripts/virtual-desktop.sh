# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that run Vantory on a private virtual X display: a scratch folder with a
# fresh home, the processes to stop at exit, the display itself, and the checks' outcomes.

work=$(mktemp -d)
pids=()
# Stops every process started so far.
stop_all() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    pids=()
}
trap 'stop_all; rm -rf "$work"' EXIT

# Runs "$@" every 0.1 s until it succeeds, for at most $1 seconds.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}
# Installs those of the Debian packages "$@" that are missing.
install_missing() {
    local package missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    $( ((EUID == 0)) || echo sudo) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        "${missing[@]}"
}
# Ends the run with the message and the end of the log.
fail() {
    echo "FAIL: $*" >&2
    [[ -s $work/log ]] && tail -n 40 "$work/log" >&2
    exit 1
}
# require HINT PROGRAM...: fails unless every program is on the path; HINT says what installs them.
require() {
    local tool
    for tool in "${@:2}"; do
        command -v "$tool" >/dev/null || fail "missing $tool ($1)"
    done
}
passes=0 failures=0
# check DESCRIPTION COMMAND...: runs the command, prints the outcome and counts it.
check() {
    if "${@:2}"; then
        echo "ok: $1"
        passes=$((passes + 1))
    else
        echo "FAILED: $1"
        failures=$((failures + 1))
    fi
}
# Starts "$@" in the background, its output in $work/log.
start() { "$@" >>"$work/log" 2>&1 & pids+=($!); }

# A fresh home, so no setting of the machine's user leaks in, and no session bus.
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run DBUS_SESSION_BUS_ADDRESS=disabled:
export QT_QPA_PLATFORM=xcb ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0
unset WAYLAND_DISPLAY
# Vantory speaks the texts of record, Korean, whatever this machine's locale, unless APP_LANGUAGE
# (ko, en or auto) asks for another.
mkdir -p "$XDG_CONFIG_HOME/Vantory"
printf '[General]\nlanguage=%s\n' "${APP_LANGUAGE:-ko}" >"$XDG_CONFIG_HOME/Vantory/Vantory.conf"

# Starts Xvfb at 1280×800 on a free display number, which it writes once it accepts clients, and
# exports DISPLAY.
start_display() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" >>"$work/log" 2>&1 &
    pids+=($!)
    within 10 grep -q '[0-9]' "$work/display" || return 1
    export DISPLAY=:$(head -n1 "$work/display")
}

# Waits until a window manager has announced itself.
await_window_manager() {
    within 10 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
}
