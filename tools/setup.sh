#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the missing Debian packages of tools/packages.txt, then configures and builds.
#   tools/setup.sh [--sanitize | --thread] [target...]
# Quick when nothing changed: no package is installed twice and Ninja builds only what changed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

sanitize=OFF
tsan=OFF
build_dir=${BUILD_DIR:-build}
if [ "${1:-}" = "--sanitize" ]; then
    sanitize=ON
    build_dir=${BUILD_DIR:-build-sanitize}
    shift
elif [ "${1:-}" = "--thread" ]; then
    tsan=ON
    build_dir=${BUILD_DIR:-build-tsan}
    shift
fi

tools/install-packages.sh tools/packages.txt

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELMAR_WERROR=ON -DVELMAR_SANITIZE="$sanitize" -DVELMAR_TSAN="$tsan" -DVELMAR_BENCH=ON
fi
if [ $# -gt 0 ]; then
    cmake --build "$build_dir" -j"$(nproc)" --target "$@"
else
    cmake --build "$build_dir" -j"$(nproc)"
fi
