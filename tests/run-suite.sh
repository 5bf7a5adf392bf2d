#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one test suite headless, in its own fresh home, state and temporary folders.
set -eu
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-suite.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/config" "$scratch/state" "$scratch/tmp"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_STATE_HOME="$scratch/state"
export TMPDIR="$scratch/tmp"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" SDL_AUDIODRIVER=dummy
unset XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
"$@"
