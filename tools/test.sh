#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds, and runs the whole test suite headless.
#   tools/test.sh               the normal build
#   tools/test.sh --sanitize    the same with AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh" "$@"
build_dir=${BUILD_DIR:-build}
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=${BUILD_DIR:-build-sanitize}
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export LSAN_OPTIONS="suppressions=$top/tools/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
"$top/tools/check-format.sh"
cd "$top/$build_dir"
ctest --output-on-failure -j"$(nproc)"
