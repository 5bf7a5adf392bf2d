#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the release tarball velmar-<version>.tar.xz in build-dist/ and prints its path.
#   tools/dist.sh
# From a clone it packs the committed tree (git archive of HEAD; uncommitted changes stay
# out). From an unpacked tarball, which has no .git, it packs the files as they stand, without
# build folders, in a fixed order and with fixed owners, so the same files give the same bytes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

version=$(sed -n 's/^project(Velmar VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "dist: no version in CMakeLists.txt" >&2; exit 1; }
name=velmar-$version
out=$top/build-dist
mkdir -p "$out"
tarball=$out/$name.tar.xz

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
        echo "dist: uncommitted changes are not in the tarball" >&2
    fi
    git archive --format=tar --prefix="$name/" HEAD | xz -6 -T1 >"$tarball.part"
else
    # The release date from the changelog, so a repacked tree keeps its timestamps stable.
    stamp=$(dpkg-parsechangelog -S Timestamp 2>/dev/null || echo 0)
    find . \( -path './build*' -o -path './obj-*' -o -path ./.cache \) -prune \
        -o \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort |
        tar --create --no-recursion --verbatim-files-from --files-from=- --transform="s,^,$name/," \
            --owner=0 --group=0 --numeric-owner --mtime="@$stamp" --format=posix \
            --pax-option=exthdr.name=%d/PaxHeaders/%f,delete=atime,delete=ctime |
        xz -6 -T1 >"$tarball.part"
fi
mv "$tarball.part" "$tarball"
echo "$tarball"
