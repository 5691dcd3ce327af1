#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package the project needs to build, test, benchmark, package and run, and
# the packages named as arguments (a script's own tools: bash scripts/setup.sh khal).
# Non-interactive, and only what is missing, so repeated runs are quick.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ninja-build clang-format
    libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev libsimdjson-dev libicu-dev
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libqt6svg6 qt6-webengine-dev qt6-webengine-dev-tools
    libqt6opengl6-dev qcoro-qt6-dev qtkeychain-qt6-dev libgl-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    fonts-noto-cjk fonts-dejavu-core qt6-wayland xvfb xauth
    libxcb1-dev openbox tint2 trayer x11-utils x11-xserver-utils xdotool wmctrl imagemagick
    python3 python3-icalendar dbus-daemon gjs radicale python3-caldav
    clang libclang-rt-14-dev
    dpkg-dev file lintian desktop-file-utils appstream man-db
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
