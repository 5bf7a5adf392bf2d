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
if ! command -v xdotool >/dev/null 2>&1; then
    echo "run-e2e.sh: 'xdotool' not found; install the xdotool package" >&2
    exit 1
fi
. "$(dirname "$0")/../../tools/xvfb.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-e2e.XXXXXX")
driver_pid=
cleanup() {
    if [ -n "$driver_pid" ]; then
        kill "$driver_pid" 2>/dev/null || true
    fi
    if [ -s "$scratch/game.pid" ]; then
        kill "$(cat "$scratch/game.pid")" 2>/dev/null || true
    fi
    stop_xvfb
    rm -rf "$scratch"
}
trap cleanup EXIT
# A signal must still reach the cleanup above.
trap 'exit 130' INT TERM HUP

mkdir -p "$scratch/home" "$scratch/config" "$scratch/state" "$scratch/tmp" "$scratch/runtime"
chmod 700 "$scratch/runtime"
start_xvfb "$scratch" -screen 0 800x600x24

export DISPLAY="$xvfb_display"
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
