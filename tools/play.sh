#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up on a fresh Debian 12 machine, builds the game and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "play: no display. Velmar is a desktop game: run this inside a graphical session" >&2
    echo "      (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
"$top/tools/setup.sh" velmar
exec "$top/${BUILD_DIR:-build}/velmar"
