#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays one process of the real game in a private X server for a long while and fails when it
# leaks memory, descriptors, threads or timers (see tests/soak/).
#   tools/soak.sh [--sanitize] [SECONDS [DRIVER]]
# Half an hour by default, with the driver of build/ (or build-sanitize/, under AddressSanitizer
# with leak detection, where any report fails), built first when it is out of date. CTest runs
# two minutes of it with the driver it has just built.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mode=()
if [ "${1:-}" = "--sanitize" ]; then
    mode=(--sanitize)
    shift
fi
seconds=${1:-1800}
driver=${2:-}
if [ -z "$driver" ]; then
    build_dir=${BUILD_DIR:-build}
    [ ${#mode[@]} -gt 0 ] && build_dir=${BUILD_DIR:-build-sanitize}
    "$top/tools/setup.sh" "${mode[@]}" velmar_soak >&2
    driver=$top/$build_dir/tests/soak/velmar_soak
fi
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$top/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

. "$top/tools/xvfb.sh"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-soak.XXXXXX")
cleanup() {
    stop_xvfb
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

mkdir -p "$scratch/home" "$scratch/config" "$scratch/tmp" "$scratch/runtime"
chmod 700 "$scratch/runtime"
start_xvfb "$scratch" -screen 0 800x600x24

export DISPLAY="$xvfb_display"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" TMPDIR="$scratch/tmp"
# A game of its own, never the player's running one brought forward.
export XDG_RUNTIME_DIR="$scratch/runtime"
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
unset XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
"$driver" "$seconds"
