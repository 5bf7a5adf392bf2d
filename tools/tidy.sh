#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs clang-tidy with the project's .clang-tidy (functions of at most 60 lines, and the bug
# patterns it names) over the .cpp files git knows, with the compile commands of a build
# folder; any finding fails.
#   tools/tidy.sh [FILE...]     the given files only
# BUILD_DIR (default build) must be configured; tools/setup.sh does that. The fuzz targets,
# built by tools/fuzz.sh alone, are checked when that build's commands are given
# (BUILD_DIR=build-fuzz).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
build_dir=${BUILD_DIR:-build}
commands=$build_dir/compile_commands.json
if [ ! -f "$commands" ]; then
    echo "tidy.sh: $commands not found; run tools/setup.sh first" >&2
    exit 1
fi
command -v clang-tidy >/dev/null || { echo "tidy.sh: clang-tidy not found" >&2; exit 1; }

if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files -- '*.cpp')
fi
# Only what the build compiles: its commands give each file its flags.
mapfile -t files < <(python3 - "$top" "$commands" "${files[@]}" <<'EOF'
import json, os, sys
top, commands, files = sys.argv[1], sys.argv[2], sys.argv[3:]
known = {os.path.realpath(e["file"]) for e in json.load(open(commands))}
for f in files:
    if os.path.realpath(os.path.join(top, f)) in known:
        print(f)
EOF
)
[ ${#files[@]} -gt 0 ] || { echo "tidy.sh: no file to check" >&2; exit 1; }

# A build without a compiler cache includes GCC's precompiled headers, which clang cannot
# read: clang-tidy gets the commands without them (each file includes what it uses anyway).
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-tidy.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
python3 - "$commands" "$scratch/compile_commands.json" <<'EOF'
import json, re, sys
entries = json.load(open(sys.argv[1]))
pch = re.compile(r" -Winvalid-pch| -include \S*cmake_pch\.hxx")
for e in entries:  # CMake writes each file's command as one string
    e["command"] = pch.sub("", e["command"])
json.dump(entries, open(sys.argv[2], "w"), indent=1)
EOF

# The project's own headers are checked where they are included; system and Qt ones are not.
filter="^$top/(app|controls|dialogs|i18n|media|platform|tests|tools)/"
# Findings show as they come; clang-tidy's counts of what it hid in other headers say nothing.
set +e
printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$scratch" --quiet --header-filter="$filter" 2>&1 |
    grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$'
tidy=${PIPESTATUS[1]}
set -e
if [ "$tidy" != 0 ]; then
    echo "tidy.sh: clang-tidy found problems in the ${#files[@]} files checked" >&2
    exit 1
fi
echo "tidy.sh: ${#files[@]} files clean" >&2
