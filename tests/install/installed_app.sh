#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed program: this build tree installed into a temporary prefix that is then moved, so
# nothing may lean on the build tree or on the prefix it was installed to. The data files pass their
# validators, and the installed vantory starts and runs the web worker from the prefix's libexec.
# installed_app.sh <cmake> <build folder> <project version>
set -euo pipefail
cmake=$1 build=$2 version=$3
# A fresh home and runtime folder, and the processes to stop at exit.
source "$(dirname "$0")/../../scripts/virtual-desktop.sh"
require "bash scripts/setup.sh installs it" desktop-file-validate appstreamcli man lexgrog file

"$cmake" --install "$build" --prefix "$work/installed" >"$work/install.log" || fail "cmake --install: $(cat "$work/install.log")"
mv "$work/installed" "$work/prefix"
prefix=$(realpath "$work/prefix")

id=app.vantory.Vantory
for path in bin/vantory libexec/vantory/vantory-web share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/vantory.svg share/icons/hicolor/48x48/apps/vantory.png \
    share/man/man1/vantory.1.gz share/doc/vantory/copyright share/doc/vantory/changelog.Debian.gz \
    share/dbus-1/interfaces/${id}1.xml share/gnome-shell/extensions/vantory@vantory.app/extension.js \
    share/gnome-shell/extensions/vantory@vantory.app/metadata.json; do
    [[ -f $prefix/$path ]] || fail "$path is not installed"
done
# The worker is not beside the program, so only the libexec lookup can find it.
[[ ! -e $prefix/bin/vantory-web ]] || fail "vantory-web is installed beside vantory"

desktop=$prefix/share/applications/$id.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [[ -z $out ]] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net --strict "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $out"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo has no release $version"
grep -qx "Icon=vantory" "$desktop" || fail "the desktop file names another icon"
[[ $(file -b "$prefix/share/icons/hicolor/48x48/apps/vantory.png") == "PNG image data, 48 x 48,"* ]] ||
    fail "the 48x48 icon is not a 48 x 48 PNG"

manual=$prefix/share/man/man1/vantory.1.gz
out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" 2>&1 >/dev/null) && [[ -z $out ]] ||
    fail "man --warnings: $out"
lexgrog "$manual" >/dev/null || fail "lexgrog finds no NAME section"
zcat "$manual" | grep -q "vantory $version" || fail "the manual page is not of version $version"
out=$("$prefix/bin/vantory" --version) || fail "vantory --version failed"
[[ $out == "vantory $version" ]] || fail "vantory --version printed: $out"

# Sites that refuse at once, so nothing leaves the machine. With no deadline stored, the first
# launch opens the sign-in, which starts the worker at once.
export QT_QPA_PLATFORM=offscreen VANTORY_ASSESSMENT_URL=http://127.0.0.1:9 VANTORY_CANVAS_URL=http://127.0.0.1:9
unset VANTORY_WEB_WORKER
start "$prefix/bin/vantory" --data-dir "$work/data"
app=${pids[-1]}
# A forked child shows the parent's program until it has executed the worker.
worker_started() {
    for worker in $(cat /proc/"$app"/task/*/children); do
        exe=$(readlink "/proc/$worker/exe") && [[ $exe != "$prefix/bin/vantory" ]] && return 0
    done
    return 1
}
within 20 worker_started || fail "vantory started no worker"
[[ $exe == "$prefix/libexec/vantory/vantory-web" ]] || fail "vantory started $exe instead of the installed worker"

kill -TERM "$app"
status=0
wait "$app" || status=$?
((status == 0)) || fail "vantory ended with status $status on SIGTERM instead of quitting"
# The worker is asked to quit (or sees its input close) and goes.
gone() { [[ ! -e /proc/$worker ]] || grep -q '^[0-9]* ([^)]*) Z' "/proc/$worker/stat"; }
within 15 gone || fail "the worker outlived vantory"
