#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the missing Debian packages of tools/packages.txt, then configures and builds.
#   tools/setup.sh [--sanitize] [target...]
# Quick when nothing changed: no package is installed twice and Ninja builds only what changed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

sanitize=OFF
build_dir=${BUILD_DIR:-build}
if [ "${1:-}" = "--sanitize" ]; then
    sanitize=ON
    build_dir=${BUILD_DIR:-build-sanitize}
    shift
fi

missing=()
while read -r pkg; do
    pkg=${pkg%%#*}
    pkg=${pkg//[[:space:]]/}
    [ -n "$pkg" ] || continue
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$pkg")
done < tools/packages.txt

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELMAR_WERROR=ON -DVELMAR_SANITIZE="$sanitize" -DVELMAR_BENCH=ON
fi
if [ $# -gt 0 ]; then
    cmake --build "$build_dir" -j"$(nproc)" --target "$@"
else
    cmake --build "$build_dir" -j"$(nproc)"
fi
