#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang, ASan and UBSan in build-fuzz/ and runs each for a
# short while from its seed corpus.
#   tools/fuzz.sh [seconds]     each target this long, default 45
#   tools/fuzz.sh --runs N      each target for N inputs (a million takes hours here: run it niced)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if [ "${1:-}" = "--runs" ]; then
    limit=(-runs="${2:?tools/fuzz.sh --runs N}")
else
    limit=(-max_total_time="${1:-45}")
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
mkdir -p "$work/profile" "$work/midi" "$work/soundfont"
"$build_dir/tests/fuzz/fuzz_profile" "${limit[@]}" -max_len=4096 \
    -artifact_prefix="$top/$build_dir/" -print_final_stats=1 "$work/profile" tests/fuzz/corpus
# The game's own melodies are the seeds of the MIDI reader.
"$build_dir/tests/fuzz/fuzz_midi" "${limit[@]}" -max_len=65536 \
    -artifact_prefix="$top/$build_dir/" -print_final_stats=1 "$work/midi" resources/music
# Small fonts written by the soundfont view's test are the seeds of its index.
"$build_dir/tests/fuzz/fuzz_soundfont" "${limit[@]}" -max_len=8192 \
    -artifact_prefix="$top/$build_dir/" -print_final_stats=1 "$work/soundfont" tests/fuzz/corpus-sf2
