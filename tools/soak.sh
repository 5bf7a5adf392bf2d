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

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "soak.sh: 'Xvfb' not found; install the xvfb package" >&2
    exit 1
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-soak.XXXXXX")
xvfb_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

mkdir -p "$scratch/home" "$scratch/config" "$scratch/tmp" "$scratch/runtime"
chmod 700 "$scratch/runtime"
: >"$scratch/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
display=
for _ in $(seq 300); do
    display=$(sed -n 's/^\([0-9][0-9]*\)$/\1/p' "$scratch/display")
    [ -n "$display" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "soak.sh: Xvfb exited before it was ready:" >&2
        cat "$scratch/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$display" ]; then
    echo "soak.sh: Xvfb did not report a display within 30 s" >&2
    exit 1
fi

export DISPLAY=":$display"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" TMPDIR="$scratch/tmp"
# A game of its own, never the player's running one brought forward.
export XDG_RUNTIME_DIR="$scratch/runtime"
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
unset XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
"$driver" "$seconds"
