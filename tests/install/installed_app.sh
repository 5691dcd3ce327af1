#!/usr/bin/env bash
# The installed program: this build tree installed into a temporary prefix that is then moved, so
# nothing may lean on the build tree or on the prefix it was installed to. The data files pass their
# validators, and the installed vantory starts and runs the web worker from the prefix's libexec.
# installed_app.sh <cmake> <build folder> <project version>
set -euo pipefail
cmake=$1
build=$2
version=$3

fail() {
    echo "FAIL: $*" >&2
    [[ -s ${work:-}/log ]] && tail -n 30 "$work/log" >&2
    exit 1
}
for tool in desktop-file-validate appstreamcli man lexgrog file; do
    command -v "$tool" >/dev/null || fail "missing $tool (bash scripts/setup.sh installs it)"
done

work=$(mktemp -d)
app=
cleanup() {
    [[ -n $app ]] && kill -KILL "$app" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

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

# A fresh home and runtime folder; sites that refuse at once, so nothing leaves the machine.
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run DBUS_SESSION_BUS_ADDRESS=disabled:
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0
export VANTORY_ASSESSMENT_URL=http://127.0.0.1:9 VANTORY_CANVAS_URL=http://127.0.0.1:9
unset VANTORY_WEB_WORKER

# With no deadline stored, the first launch opens the sign-in, which starts the worker at once.
"$prefix/bin/vantory" --data-dir "$work/data" >"$work/log" 2>&1 &
app=$!
expected=$prefix/libexec/vantory/vantory-web
worker=
deadline=$((SECONDS + 20))
while [[ -z $worker ]]; do
    kill -0 "$app" 2>/dev/null || fail "vantory exited at start"
    ((SECONDS < deadline)) || fail "vantory started no worker"
    for child in $(cat /proc/"$app"/task/*/children 2>/dev/null); do
        exe=$(readlink "/proc/$child/exe" 2>/dev/null) || continue
        # A forked child shows the parent's program until it has executed the worker.
        [[ $exe == "$prefix/bin/vantory" ]] && continue
        [[ $exe == "$expected" ]] || fail "vantory started $exe instead of $expected"
        worker=$child
    done
    sleep 0.1
done

kill -TERM "$app"
status=0
wait "$app" || status=$?
app=
((status == 0)) || fail "vantory ended with status $status on SIGTERM instead of quitting"

# The worker is asked to quit (or sees its input close) and goes.
gone() { [[ ! -e /proc/$worker ]] || grep -q '^[0-9]* ([^)]*) Z' "/proc/$worker/stat" 2>/dev/null; }
deadline=$((SECONDS + 15))
until gone; do
    ((SECONDS < deadline)) || fail "the worker outlived vantory"
    sleep 0.1
done
