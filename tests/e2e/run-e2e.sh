#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays the built game in a private X server, in a fresh home and temporary folders.
# Usage: run-e2e.sh DRIVER GAME
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 DRIVER GAME" >&2
    exit 2
fi
driver=$1
game=$2

# Both come with the project's test packages, so a missing one is a broken setup, not a skip.
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "run-e2e.sh: '$tool' not found; install the xvfb and xdotool packages" >&2
        exit 1
    fi
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-e2e.XXXXXX")
xvfb_pid=
driver_pid=
cleanup() {
    if [ -n "$driver_pid" ]; then
        kill "$driver_pid" 2>/dev/null || true
    fi
    if [ -s "$scratch/game.pid" ]; then
        kill "$(cat "$scratch/game.pid")" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
# A signal must still reach the cleanup above.
trap 'exit 130' INT TERM HUP

mkdir -p "$scratch/home" "$scratch/config" "$scratch/state" "$scratch/tmp" "$scratch/runtime"
chmod 700 "$scratch/runtime"
: >"$scratch/display"
# Xvfb picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!

display=
for _ in $(seq 300); do
    display=$(sed -n 's/^\([0-9][0-9]*\)$/\1/p' "$scratch/display")
    [ -n "$display" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "run-e2e.sh: Xvfb exited before it was ready:" >&2
        cat "$scratch/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$display" ]; then
    echo "run-e2e.sh: Xvfb did not report a display within 30 s:" >&2
    cat "$scratch/xvfb.log" >&2
    exit 1
fi

export DISPLAY=":$display"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_STATE_HOME="$scratch/state"
export TMPDIR="$scratch/tmp"
# A game of its own: one the player runs, or another check's, would otherwise be brought forward.
export XDG_RUNTIME_DIR="$scratch/runtime"
unset DBUS_SESSION_BUS_ADDRESS
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
export VELMAR_E2E_GAME_PIDFILE="$scratch/game.pid"
unset XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME WAYLAND_DISPLAY

# In the background, so that a signal is handled now rather than when the driver ends.
"$driver" "$game" &
driver_pid=$!
wait "$driver_pid"
