#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one of the real-desktop checks on a private session bus of its own (the accessibility
# bus starts on it when asked), never on the caller's.
# Usage: run-desktop.sh CHECK.py GAME [ARGUMENT...]
set -eu
[ $# -ge 2 ] || { echo "usage: $0 CHECK.py GAME [ARGUMENT...]" >&2; exit 2; }
for tool in dbus-run-session /usr/bin/python3; do
    command -v "$tool" >/dev/null || { echo "run-desktop.sh: '$tool' not found; install tools/packages.txt" >&2; exit 1; }
done
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
# The accessibility bus puts its socket in the runtime folder under a fixed name: checks run
# side by side would take over each other's bus in a shared folder.
runtime=$(mktemp -d "${TMPDIR:-/tmp}/velmar-desktop-run.XXXXXX")
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime"
# Nothing written into the source tree.
export PYTHONDONTWRITEBYTECODE=1
# dbus-daemon's own complaints (no fd limit to raise in a container) are not the check's.
dbus-run-session -- /usr/bin/python3 "$@" 2> >(grep -v '^dbus-daemon\[' >&2)
