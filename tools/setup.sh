#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the missing Debian packages of tools/packages.txt, then configures and builds one of
# the builds of CMakePresets.json.
#   tools/setup.sh [--sanitize | --thread | --preset NAME] [target...]
# --sanitize and --thread are the presets sanitize and thread; the default is normal. BUILD_DIR
# puts the build elsewhere than the preset's folder. Quick when nothing changed: no package is
# installed twice and Ninja builds only what changed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

preset=normal
case "${1:-}" in
--sanitize) preset=sanitize && shift ;;
--thread) preset=thread && shift ;;
--preset) preset=${2:?tools/setup.sh --preset NAME} && shift 2 ;;
esac
case "$preset" in
normal) preset_dir=build ;;
sanitize) preset_dir=build-sanitize ;;
thread) preset_dir=build-tsan ;;
*) preset_dir=build-$preset ;;
esac
build_dir=${BUILD_DIR:-$preset_dir}

tools/install-packages.sh tools/packages.txt

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake --preset "$preset" -B "$build_dir"
fi
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
if [ "$build_dir" = "$preset_dir" ]; then
    cmake --build --preset "$preset" -j"$(nproc)" "${targets[@]}"
else
    cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
fi
