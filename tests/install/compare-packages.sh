#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails unless two folders hold the same Debian packages byte for byte: the same .deb names,
# each pair identical. On a difference it prints what differs: diffoscope's report where it
# is installed, else each package's members and files with their checksums, side by side.
# Usage: compare-packages.sh DIR_A DIR_B
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 DIR_A DIR_B" >&2; exit 2; }
a=$1
b=$2

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-compare.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 130' INT TERM HUP
fail() {
    echo "compare-packages: $*" >&2
    exit 1
}

names() { (cd "$1" && find . -maxdepth 1 -name '*.deb' -printf '%P\n' | LC_ALL=C sort); }
names "$a" >"$scratch/a.names"
names "$b" >"$scratch/b.names"
[ -s "$scratch/a.names" ] || fail "no package in $a"
diff -u "$scratch/a.names" "$scratch/b.names" >&2 || fail "$a and $b hold different packages"

# What a package is made of, one line each: the ar members with sizes, the control fields,
# then every file and link of its tree with mode, owner, time and checksum.
inventory() {
    local deb=$1 tree=$2
    ar tv "$deb" | awk '{ print "member", $1, $2, $3, $NF }'
    dpkg-deb --info "$deb" | sed 's/^/control /'
    mkdir -p "$tree"
    dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time | sed 's/^/entry /'
    dpkg-deb --extract "$deb" "$tree"
    (cd "$tree" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum |
        sed 's/^/file /')
}

differing=()
while read -r name; do
    cmp -s "$a/$name" "$b/$name" || differing+=("$name")
done <"$scratch/a.names"
if [ ${#differing[@]} -eq 0 ]; then
    echo "compare-packages: $(paste -sd' ' "$scratch/a.names") identical in $a and $b"
    exit 0
fi

for name in "${differing[@]}"; do
    echo "compare-packages: $name differs" >&2
    if command -v diffoscope >/dev/null; then
        # Its report is long; the first screens say where the difference starts.
        diffoscope --no-progress --text - "$a/$name" "$b/$name" 2>&1 | head -n 300 >&2 || true
    else
        inventory "$a/$name" "$scratch/a.tree" >"$scratch/a.list"
        inventory "$b/$name" "$scratch/b.tree" >"$scratch/b.list"
        rm -rf "$scratch/a.tree" "$scratch/b.tree"
        diff -u "$scratch/a.list" "$scratch/b.list" | head -n 300 >&2 || true
    fi
done
fail "${#differing[@]} package(s) differ between $a and $b"
