#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ file in the repository is not formatted with the project's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r f; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h')
if [ ${#bad[@]} -gt 0 ]; then
    echo "Not formatted with .clang-format (run clang-format -i): ${bad[*]}" >&2
    exit 1
fi
