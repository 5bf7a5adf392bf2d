#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages of the given lists (one a line, # comments) that are missing.
set -euo pipefail
missing=()
for list in "$@"; do
    while read -r pkg; do
        pkg=${pkg%%#*}
        pkg=${pkg//[[:space:]]/}
        [ -n "$pkg" ] || continue
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
        [ "$status" = "install ok installed" ] || missing+=("$pkg")
    done < "$list"
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "setup: installing ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
nosync=()
apt_install() {
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" "${nosync[@]}" apt-get install -y -qq \
        --no-install-recommends "$@"
}
"${sudo[@]}" apt-get update -qq
# On a machine thrown away after the run (CI sets VELMAR_DISPOSABLE_MACHINE=1) nothing need
# reach the disk before the run ends: without dpkg's syncs the install takes half the time.
if [ "${VELMAR_DISPOSABLE_MACHINE:-0}" = 1 ]; then
    command -v eatmydata >/dev/null || apt_install eatmydata
    nosync=(eatmydata)
fi
apt_install "${missing[@]}"
