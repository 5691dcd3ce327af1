#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package: a Release build in build/package with Debian's hardening flags, then
# cpack, then lintian, which fails the run on any error. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=build/package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# Debian's flags (fortified functions, stack protector, PIE, relro and bindnow), without -g: the
# package ships stripped programs.
cxxflags="$(DEB_CXXFLAGS_MAINT_STRIP=-g dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
# No site address is built in: every school has its own, and the first launch asks for them.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVANTORY_BUILD_BENCHMARKS=OFF \
    -DVANTORY_ASSESSMENT_BASE_URL= -DVANTORY_CANVAS_BASE_URL= \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$build" -j2

rm -f "$build"/vantory_*.deb
(cd "$build" && cpack -G DEB)
package=$(ls "$build"/vantory_*.deb)

# The changelog must describe the version being packaged.
version=$(dpkg-deb -f "$package" Version)
logged=$(dpkg-parsechangelog -l packaging/changelog -S Version)
if [[ $version != "$logged" ]]; then
    echo "packaging/changelog ends at $logged, the package is $version" >&2
    exit 1
fi

lintian --fail-on error --tag-display-limit 0 "$package"
echo "$package"
