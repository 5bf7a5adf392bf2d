#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the package's own tests (debian/tests) against a built package with autopkgtest's null
# runner: the package and the tests' dependencies are installed on this very machine, so it
# needs root on a machine that may change (CI's, or a chroot). The package is purged again
# afterwards when it was not installed before, so the machine is left as it was found.
# Usage: run-autopkgtest.sh SOURCE_DIR DEB
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 SOURCE_DIR DEB" >&2; exit 2; }
source=$(cd "$1" && pwd)
deb=$(realpath "$2")
fail() {
    echo "run-autopkgtest: $*" >&2
    exit 1
}
[ "$(id -u)" -eq 0 ] || fail "the null runner installs the package here, which needs root"
command -v autopkgtest >/dev/null || fail "'autopkgtest' not found; install tools/packages.txt"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-autopkgtest.XXXXXX")
package=$(dpkg-deb -f "$deb" Package)
was_installed=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
cleanup() {
    if [ "$was_installed" != installed ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "$package" >/dev/null 2>&1 || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# The tests need the packaging only: a tree of debian/ alone spares copying the build folders.
mkdir -p "$scratch/source"
cp -a "$source/debian" "$scratch/source/"
status=0
autopkgtest --output-dir "$scratch/out" --no-built-binaries "$scratch/source/" "$deb" \
    -- null >"$scratch/log" 2>&1 || status=$?
# Its summary: one line a test with its verdict.
cat "$scratch/out/summary" 2>/dev/null || true
if [ "$status" -ne 0 ]; then
    # What the failing tests printed, else the end of autopkgtest's own log.
    for file in "$scratch"/out/*-stderr "$scratch"/out/*-stdout; do
        [ -s "$file" ] && sed "s|^|$(basename "$file"): |" "$file" >&2
    done
    tail -n 20 "$scratch/log" >&2
    fail "autopkgtest ended with $status"
fi
