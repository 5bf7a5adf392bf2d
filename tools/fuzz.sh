#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang, ASan and UBSan in build-fuzz/ and runs each for a
# short while from its seed corpus.
#   tools/fuzz.sh [seconds]     each target this long, default 60; the three run side by side
#   tools/fuzz.sh --runs N      each target for N inputs (a million takes hours here: run it niced)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if [ "${1:-}" = "--runs" ]; then
    limit=(-runs="${2:?tools/fuzz.sh --runs N}")
else
    limit=(-max_total_time="${1:-60}")
fi
build_dir=${BUILD_DIR:-build-fuzz}

tools/install-packages.sh tools/packages.txt
if [ ! -f "$build_dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELMAR_WERROR=ON -DVELMAR_SANITIZE=ON -DVELMAR_FUZZ=ON -DVELMAR_BENCH=OFF
fi
cmake --build "$build_dir" -j"$(nproc)" --target fuzz_profile fuzz_midi fuzz_soundfont

# New inputs go to a scratch folder, so the committed seeds stay as they are.
work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Side by side, as libFuzzer runs on one core; each one's log comes when all have ended.
fuzz() {
    local name=$1
    shift
    mkdir -p "$work/$name"
    "$build_dir/tests/fuzz/fuzz_$name" "${limit[@]}" -artifact_prefix="$top/$build_dir/" \
        -print_final_stats=1 "$@" >"$work/$name.log" 2>&1
}
fuzz profile -max_len=4096 "$work/profile" tests/fuzz/corpus &
profile=$!
# The game's own melodies are the seeds of the MIDI reader.
fuzz midi -max_len=65536 "$work/midi" resources/music &
midi=$!
# Small fonts written by the soundfont view's test are the seeds of its index.
fuzz soundfont -max_len=8192 "$work/soundfont" tests/fuzz/corpus-sf2 &
soundfont=$!
failed=()
for name in profile midi soundfont; do
    wait "${!name}" || failed+=("$name")
    echo "== fuzz_$name"
    cat "$work/$name.log"
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzz.sh: failed: ${failed[*]}" >&2; exit 1; }
