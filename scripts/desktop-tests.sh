#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop tests, kept out of the default suite because they start whole desktops (about a
# minute each, more at the first run, which installs them):
#   bash scripts/desktop-tests.sh [gnome] [openbox] [wayland] [a11y]
# gnome: GNOME Shell 43 headless with the extension and the real application: the dashboard's
# focus and closing, 20 quick disable/enable cycles of the extension, in Korean and once more in
# English; its dark style through the desktop portal.
# openbox: the strip, the dashboard popup and the tray under openbox, tint2 and trayer on Xvfb
# (also in the default suite).
# wayland: sway with waybar and KDE Plasma with two desktops (scripts/wayland-screenshots.sh; its
# pictures go to a scratch folder).
# a11y: what a screen reader hears, on a real at-spi2 bus under openbox: the dashboard idle, the
# focus after keyboard actions, the roles of windows and choice groups; the sign-in page.
# With no argument, all of them. Builds the release configuration first; exits non-zero on a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
suites=("$@")
((${#suites[@]})) || suites=(gnome openbox wayland a11y)

bash scripts/setup.sh
missing=()
for package in gnome-shell xwayland xdg-desktop-portal-gnome gjs imagemagick at-spi2-core python3-pyatspi; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
    $( ((EUID == 0)) || echo sudo) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        "${missing[@]}"
fi
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVANTORY_BUILD_BENCHMARKS=ON -DVANTORY_WERROR=ON
cmake --build "$build" -j2

failed=()
for suite in "${suites[@]}"; do
    echo "== $suite"
    case $suite in
    gnome)
        bash tests/sessions/gnome_top_bar.sh "$build/bin/vantory" "$build/shell/gnome/legacy" || failed+=("$suite")
        APP_LANGUAGE=en bash tests/sessions/gnome_top_bar.sh "$build/bin/vantory" "$build/shell/gnome/legacy" ||
            failed+=("$suite in English")
        bash tests/sessions/gnome_dark_style.sh "$build/bin/vantory" || failed+=("$suite dark style")
        ;;
    openbox) bash tests/sessions/strip_on_desktop.sh "$build/bin/vantory" || failed+=("$suite") ;;
    wayland) bash scripts/wayland-screenshots.sh "$build" || failed+=("$suite") ;;
    a11y)
        bash tests/sessions/accessibility.sh "$build/bin/vantory" "$build/bin/vantory-sample" || failed+=("$suite")
        bash tests/sessions/signin_accessibility.sh "$build/bin/vantory" || failed+=("$suite sign-in")
        ;;
    *) echo "unknown desktop test: $suite (gnome, openbox, wayland, a11y)" >&2; exit 2 ;;
    esac
done
((${#failed[@]} == 0)) || { echo "failed: ${failed[*]}"; exit 1; }
echo "all desktop tests passed: ${suites[*]}"
