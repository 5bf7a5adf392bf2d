#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a PNG of the game's main window on a private X server with a fresh home, so no local
# settings or saved games leak into documentation pictures.
#
# Usage: tools/screenshot.sh OUT.png [KEY...]
#   KEY       xdotool key names pressed in order once the window is painted (e.g. F5 ctrl+n);
#             the shot is taken 1 s after the last one
# Environment:
#   BUILD_DIR=build         build directory to reuse (configured if it does not exist yet)
#   GAME_BIN, GAME_TITLE    another program and window title (default BUILD_DIR/velmar, Velmar)
#   SHOT_TITLE              title of the window to shoot (default GAME_TITLE; empty: whole screen)
#   SHOT_LANG=C.UTF-8       locale the game runs in
#   SHOT_POPUPS=1           also take in the open menus beside the window (e.g. after alt+g)
#   SHOT_SETTINGS=FILE      a settings file the fresh home starts with (its ORV_Velmar.INI)
#   SHOT_RECORDS=FILE       a records file the game starts with (the Records window's table)
#   SHOT_SELECT=N           start in language N (the settings' Select: 0 English, 1 Russian,
#                           2 Ukrainian, 3 French)
set -euo pipefail

die() {
    echo "screenshot: $*" >&2
    exit 1
}

[[ $# -ge 1 && $1 != -* ]] || die "usage: tools/screenshot.sh OUT.png [KEY...]"
out=$1
shift
[[ $out == /* ]] || out=$PWD/$out
mkdir -p "$(dirname "$out")"

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$repo/$build
title=${GAME_TITLE:-Velmar}
shot_title=${SHOT_TITLE-$title}

command -v cmake >/dev/null || die "'cmake' not found (Debian package: cmake)"
[[ $# -eq 0 ]] || command -v xdotool >/dev/null || die "'xdotool' not found (Debian package: xdotool)"

targets=(velmar_probe)
[[ -z ${GAME_BIN:-} ]] && targets+=(velmar)
BUILD_DIR=$build "$repo/tools/setup.sh" "${targets[@]}" >&2 || die "build failed"

probe=$build/velmar_probe
bin=${GAME_BIN:-$build/velmar}
[[ $bin == /* ]] || bin=$repo/$bin
[[ -x $probe ]] || die "missing $probe"
[[ -x $bin ]] || die "missing $bin"

work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-shot.XXXXXX")
. "$repo/tools/xvfb.sh"
game_pid=""
cleanup() {
    set +e
    if [[ -n $game_pid ]]; then
        kill -TERM -- "-$game_pid" 2>/dev/null
        sleep 0.2
        kill -KILL -- "-$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
    fi
    stop_xvfb
    rm -rf "$work"
    return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb "$work" || die "Xvfb did not start"
display=$xvfb_display

mkdir -p "$work/home" "$work/config" "$work/cache" "$work/data" "$work/state/velmar" "$work/tmp" \
    "$work/runtime"
chmod 700 "$work/runtime"
[[ -z ${SHOT_SETTINGS:-} ]] || cp "$SHOT_SETTINGS" "$work/config/ORV_Velmar.INI" ||
    die "cannot copy $SHOT_SETTINGS"
[[ -z ${SHOT_RECORDS:-} ]] || cp "$SHOT_RECORDS" "$work/state/velmar/records.ini"
if [[ -n ${SHOT_SELECT:-} ]]; then
    [[ $SHOT_SELECT =~ ^[0-3]$ ]] || die "SHOT_SELECT must be 0 to 3"
    printf '[USER]\r\nSelect=%s\r\n' "$SHOT_SELECT" >"$work/config/ORV_Velmar.INI"
fi
vars=(PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/config"
    XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
    XDG_RUNTIME_DIR="$work/runtime"
    TMPDIR="$work/tmp" DISPLAY="$display" LANG="${SHOT_LANG:-C.UTF-8}" SDL_AUDIODRIVER=dummy)

(cd "$work/home" && exec env -i "${vars[@]}" "$probe" exec --stamp "$work/stamp" -- "$bin") \
    >"$work/game.log" 2>&1 &
game_pid=$!

if ! env -i "${vars[@]}" "$probe" wait-painted --title "$title" --timeout-ms 30000 \
    --since-file "$work/stamp" >/dev/null; then
    tail -n 20 "$work/game.log" >&2
    die "no painted window titled \"$title\""
fi

if [[ $# -gt 0 ]]; then
    wid=$(env -i "${vars[@]}" "$probe" window-id --title "$title")
    # No window manager under Xvfb: focus the window directly so the keys reach it.
    env -i "${vars[@]}" xdotool windowfocus "$wid"
    sleep 0.2
    for key in "$@"; do
        env -i "${vars[@]}" xdotool key --clearmodifiers "$key"
        sleep 0.2
    done
    sleep 1
fi

shot_args=(--out "$out")
[[ -n $shot_title ]] && shot_args+=(--title "$shot_title" --timeout-ms 5000)
[[ -n $shot_title && ${SHOT_POPUPS:-} == 1 ]] && shot_args+=(--with-popups 1)
env -i "${vars[@]}" "$probe" shot "${shot_args[@]}" || die "shot failed"
echo "$out"
