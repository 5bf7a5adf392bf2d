#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a build dependency of the Debian package is named in no package list, so the
# package build on a fresh machine never stops at unsatisfied build dependencies. A machine
# that has the packages already cannot see such a gap with dpkg-checkbuilddeps.
# Usage: check-build-deps.sh SOURCE_DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 SOURCE_DIR" >&2; exit 2; }
source=$1

# Every name the lists install, comments and blanks left out.
named=$(find "$source/tools" -name packages.txt -exec sed -e 's/#.*//' -e 's/[[:space:]]//g' {} + |
    sed '/^$/d' | sort -u)
# debhelper-compat is provided by debhelper; dpkg-buildpackage adds build-essential.
provided() {
    case $1 in
    debhelper-compat) echo debhelper ;;
    *) echo "$1" ;;
    esac
}

# The Build-Depends field, continuation lines joined, one dependency (with its alternatives)
# a line.
deps=$(awk '/^Build-Depends:/ { on = 1; sub(/^Build-Depends:/, ""); print; next }
            on && /^[ \t]/ { print; next }
            { on = 0 }' "$source/debian/control" | tr '\n' ' ' | tr ',' '\n')
[ -n "$(echo "$deps" | tr -d '[:space:]')" ] || { echo "no Build-Depends in debian/control" >&2; exit 1; }

missing=()
while read -r dep; do
    dep=$(echo "$dep" | sed -e 's/([^)]*)//g' -e 's/\[[^]]*\]//g' -e 's/<[^>]*>//g' -e 's/:any//g')
    [ -n "${dep//[[:space:]|]/}" ] || continue
    found=
    IFS='|' read -ra alternatives <<<"$dep"
    for alternative in "${alternatives[@]}"; do
        name=$(provided "$(echo "$alternative" | tr -d '[:space:]')")
        grep -qxF "$name" <<<"$named" && found=1
    done
    [ -n "$found" ] || missing+=("$(echo "$dep" | xargs)")
done < <(echo "$deps"; echo build-essential)

if [ ${#missing[@]} -gt 0 ]; then
    printf 'check-build-deps: no package list names: %s\n' "${missing[@]}" >&2
    exit 1
fi
echo "check-build-deps: every build dependency is in a package list"
