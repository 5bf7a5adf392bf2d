#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds, and runs the whole test suite headless.
#   tools/test.sh               the normal build
#   tools/test.sh --sanitize    the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   tools/test.sh --thread      the suites labelled threads (tests/CMakeLists.txt), whose code
#                               runs on more than one thread, with ThreadSanitizer, which must
#                               report nothing
# Each is a preset of CMakePresets.json: its build, then its tests with its sanitizer's options
# (docs/ci.md says what they are for). BUILD_DIR puts the build elsewhere.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
preset=normal
case "${1:-}" in
--sanitize) preset=sanitize ;;
--thread) preset=thread ;;
esac
"$top/tools/setup.sh" "$@"
if [ "$preset" = thread ]; then
    # The hint's suite reads the solver's tables from a cache made by the normal build's
    # velmar-solve (the test preset's XDG_CACHE_HOME): built under the sanitizer they take a
    # minute, and the build's threads are checked by the table suites already.
    # The suites, like a copy of velmar-solve away from the build's seven-tile tables, read the
    # six-tile set the cache keeps.
    "$top/tools/setup.sh" velmar-solve
    cache="$top/build-tsan/solver-cache"
    mkdir -p "$cache"
    cp "$top/build/velmar-solve" "$cache/velmar-solve"
    echo "1 2 3 4 5 6 7 8 9 10 11 12 13 14 16 15" |
        XDG_CACHE_HOME=$cache "$cache/velmar-solve" >/dev/null
    rm "$cache/velmar-solve"
elif [ "$preset" = normal ]; then
    # Formatting is the sources' own, whatever the build; checked once, with the normal one.
    "$top/tools/check-format.sh"
fi
cd "$top"
elsewhere=()
[ -n "${BUILD_DIR:-}" ] && elsewhere=(--test-dir "$BUILD_DIR")
ctest --preset "$preset" -j"$(nproc)" "${elsewhere[@]}"
