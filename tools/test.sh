#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds, and runs the whole test suite headless.
#   tools/test.sh               the normal build
#   tools/test.sh --sanitize    the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   tools/test.sh --thread      the suites whose code runs on more than one thread, with
#                               ThreadSanitizer, which must report nothing
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# The suites whose code runs on more than one thread: the engine, the device, the music, the
# soundfont views, the volumes, the hint's search, the worker's wake-up and its held jobs, the
# solver tables' build (small groups on up to four threads, then the whole tables on two), and
# the solver's search shared between threads.
threaded_suites=(test_audio_engine test_audio_device test_music test_soundfont_view test_volumes
    test_volume_devices test_hint test_wake_up test_worker test_pattern_database test_table_build
    test_shared_search)
if [ "${1:-}" = "--thread" ]; then
    "$top/tools/setup.sh" --thread "${threaded_suites[@]}"
    tsan_dir="$top/${BUILD_DIR:-build-tsan}"
    # The hint's suite reads the solver's tables from a cache made by the normal build's
    # velmar-solve: built under the sanitizer they take a minute, and the build's threads are
    # checked by the table suites already.
    BUILD_DIR=build "$top/tools/setup.sh" velmar-solve
    export XDG_CACHE_HOME="$tsan_dir/solver-cache"
    mkdir -p "$XDG_CACHE_HOME"
    echo "1 2 3 4 5 6 7 8 9 10 11 12 13 14 16 15" | "$top/build/velmar-solve" >/dev/null
    cd "$tsan_dir"
    # Any report fails its suite; a deadlock's second stack says which lock came first. GLib
    # hands out plain malloc'd memory and Qt runs its own event loops, so the sanitizer sees
    # every hand-over between threads.
    export G_SLICE=always-malloc QT_NO_GLIB=1
    export TSAN_OPTIONS="halt_on_error=1:exitcode=66:second_deadlock_stack=1:suppressions=$top/tools/tsan.supp"
    regex=$(IFS='|'; echo "^(${threaded_suites[*]})\$")
    ctest --output-on-failure -j"$(nproc)" -R "$regex"
    exit
fi
"$top/tools/setup.sh" "$@"
build_dir=${BUILD_DIR:-build}
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=${BUILD_DIR:-build-sanitize}
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export LSAN_OPTIONS="suppressions=$top/tools/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
    # Formatting is the sources' own, whatever the build; checked once, with the normal one.
    "$top/tools/check-format.sh"
fi
cd "$top/$build_dir"
ctest --output-on-failure -j"$(nproc)"
