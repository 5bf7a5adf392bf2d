#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package into build-package/ and prints its path.
#   tools/package.sh
# Installs what is missing from tools/packages.txt first. Quick when nothing changed: the same
# sources give the same package without a build, and a change rebuilds only what it touches.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

# Its report goes to stderr: stdout carries only the package path.
tools/install-packages.sh tools/packages.txt >&2

out=$top/build-package
tree=$out/velmar
version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb=$out/velmar_${version}_${arch}.deb

# What the package is made of: the files the copy below takes, names, modes and contents, so
# the stamp needs no git (a release tarball has none).
sources() {
    find . \( -path ./.git -o -path './build*' -o -path './obj-*' -o -path ./.cache \
        -o -path ./debian/.debhelper -o -path ./debian/velmar -o -path ./debian/files \
        -o -path './debian/*.substvars' -o -path ./debian/debhelper-build-stamp \) -prune \
        -o \( -type f -o -type l \) -print0 | LC_ALL=C sort -z
}
stamp=$(
    {
        sources | xargs -0 -r stat -c '%a %n'
        sources | xargs -0 -r sha256sum
    } | sha256sum | cut -d' ' -f1
)
if [ -f "$deb" ] && [ "$(cat "$out/stamp" 2>/dev/null)" = "$stamp" ]; then
    echo "package: up to date" >&2
    echo "$deb"
    exit 0
fi

# A copy of the sources; the build folder inside it survives, so the next build is incremental.
mkdir -p "$tree"
rsync -a --delete --exclude='/.git' --exclude='/build*' --exclude='/obj-*' --exclude='/.cache' \
    --filter='P /obj-*' --filter='P /debian/.debhelper/' --filter='P /debian/velmar/' \
    --filter='P /debian/files' --filter='P /debian/*.substvars' \
    --filter='P /debian/debhelper-build-stamp' ./ "$tree/"

# Nothing of the surroundings reaches the package: the time is the changelog's, whatever the
# caller exported; the locale, time zone and umask are fixed. The build path is mapped away
# by the build flags (debian/rules).
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -S Timestamp)
export SOURCE_DATE_EPOCH LC_ALL=C.UTF-8 TZ=UTC
unset LANGUAGE
umask 022
# ccache, when installed, shares compiled objects between package builds; with the tree as its
# base folder the compiler sees paths relative to the tree, alike in every copy of it.
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR=$tree
else
    unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
fi
rm -f "$out"/velmar_*.deb "$out"/velmar-dbgsym_*.deb "$out"/velmar_*.buildinfo "$out"/velmar_*.changes
(cd "$tree" && dpkg-buildpackage -b -us -uc -nc -j"$(nproc)" >"$out/build.log" 2>&1) || {
    tail -n 40 "$out/build.log" >&2
    echo "package: the build failed; the whole log is $out/build.log" >&2
    exit 1
}
[ -f "$deb" ] || { echo "package: $deb was not made" >&2; exit 1; }
echo "$stamp" >"$out/stamp"
echo "$deb"
