#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The hint in the running game: resident memory before the first hint, while hints are asked
# for and a minute after the last one, and the time from H to the title showing the count.
# Usage: tools/bench/hint-bench.sh [BUILD_DIR]   (default build/; needs velmar, velmar-solve
# and velmar_probe built there)
# Environment:
#   HINT_BENCH_COLD=1     start from an empty cache (with HINT_BENCH_SIX, the first hint builds
#                         the tables)
#   HINT_BENCH_SIX=1      without the seven-tile tables beside the game: the six-tile set
#   HINT_BENCH_HINTS=5    hints asked for, each on the board the last one left
#   HINT_BENCH_AFTER=65   seconds waited after the last hint
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$repo/build}
hints=${HINT_BENCH_HINTS:-5}
after=${HINT_BENCH_AFTER:-65}
command -v xdotool >/dev/null || { echo "hint-bench: 'xdotool' not found" >&2; exit 1; }
for bin in velmar velmar-solve velmar_probe; do
    [[ -x $build/$bin ]] || { echo "hint-bench: missing $build/$bin" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-hint-bench.XXXXXX")
# shellcheck source=tools/xvfb.sh
. "$repo/tools/xvfb.sh"
game_pid=""
cleanup() {
    set +e
    [[ -n $game_pid ]] && kill "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$work/home" "$work/config" "$work/cache" "$work/data" "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"
start_xvfb "$work"
vars=(PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/config"
    XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
    TMPDIR="$work/tmp" DISPLAY="$xvfb_display" LANG=C.UTF-8 SDL_AUDIODRIVER=dummy)
[[ ${HINT_BENCH_SIX:-0} == 1 ]] && vars+=(VELMAR_SEVEN_TABLES=)

if [[ ${HINT_BENCH_COLD:-0} != 1 ]]; then
    # A warm cache, as an earlier run leaves it.
    echo "1 2 3 4 5 6 7 8 9 10 11 12 13 14 16 15" | env -i "${vars[@]}" "$build/velmar-solve" >/dev/null
fi

rss_kib() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status"
}

env -i "${vars[@]}" "$build/velmar" >"$work/game.log" 2>&1 &
game_pid=$!
wid=$(env -i "${vars[@]}" "$build/velmar_probe" window-id --title Velmar --timeout-ms 30000)
env -i "${vars[@]}" xdotool windowfocus "$wid"
sleep 1
env -i "${vars[@]}" xdotool key --window "$wid" F5
sleep 3
before=$(rss_kib)
most=$before
echo "before the first hint: $((before / 1024)) MiB ($before KiB)"
for ((n = 1; n <= hints; n++)); do
    start=${EPOCHREALTIME/[.,]/}
    env -i "${vars[@]}" xdotool key --window "$wid" h
    for ((i = 0; i < 20000; i++)); do
        title=$(env -i "${vars[@]}" xdotool getwindowname "$wid")
        [[ $title == *" to go" ]] && break
    done
    took=$(((${EPOCHREALTIME/[.,]/} - start) / 1000))
    now=$(rss_kib)
    ((now > most)) && most=$now
    echo "hint $n: title after $took ms ($title), resident $((now / 1024)) MiB (+$(((now - before) / 1024)) MiB)"
    sleep 1.5 # the blink ends and the title comes back
done
echo "most while hinting: +$(((most - before) / 1024)) MiB (+$((most - before)) KiB)"
sleep "$after"
last=$(rss_kib)
echo "$after s after the last hint: $((last / 1024)) MiB ($((last - before)) KiB from before)"
