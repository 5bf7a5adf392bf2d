#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The release tarball, as a user gets it: made by tools/dist.sh, unpacked where no git is,
# and the Debian package built from it by tools/package.sh, twice (the second run must find
# it up to date). A full package build, so CI runs it once rather than every test run. The
# packages are kept in SOURCE_DIR/build-dist/package/, to compare with the clone's
# (compare-packages.sh).
# Usage: check-dist.sh SOURCE_DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 SOURCE_DIR" >&2; exit 2; }
source=$(cd "$1" && pwd)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-dist.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 130' INT TERM HUP
fail() {
    echo "check-dist: $*" >&2
    exit 1
}

tarball=$("$source/tools/dist.sh")
version=$(basename "$tarball" .tar.xz)
version=${version#velmar-}
tar -xJf "$tarball" -C "$scratch"
tree=$scratch/velmar-$version
[ -d "$tree" ] || fail "$(basename "$tarball") does not unpack into velmar-$version/"
[ ! -e "$tree/.git" ] || fail "the tarball carries .git"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$source" ls-files | LC_ALL=C sort >"$scratch/committed"
    (cd "$tree" && find . -type f -printf '%P\n' | LC_ALL=C sort) >"$scratch/packed"
    diff -u "$scratch/committed" "$scratch/packed" || fail "the tarball differs from the committed tree"
fi

# Out of git's sight: no repository above the unpacked tree either.
export GIT_CEILING_DIRECTORIES=$scratch
deb=$(cd "$tree" && tools/package.sh 2>"$scratch/package.log") ||
    fail "tools/package.sh failed in the unpacked tarball: $(tail -n 20 "$scratch/package.log")"
contents=$(dpkg-deb -c "$deb")
grep -q ' \./usr/games/velmar$' <<<"$contents" || fail "the package has no usr/games/velmar"
grep -q '/velmar/libvelmar_audio\.so$' <<<"$contents" || fail "the package has no sound module"
again=$(cd "$tree" && tools/package.sh 2>&1 >/dev/null)
grep -q 'package: up to date' <<<"$again" || fail "the second package run rebuilt: $again"
kept=$source/build-dist/package
rm -rf "$kept"
mkdir -p "$kept"
cp "$(dirname "$deb")"/*.deb "$kept/"
echo "check-dist: $(basename "$tarball") builds $(basename "$deb")"
