#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary DESTDIR and checks the tree as a desktop and a player
# meet it: the files and their names, the desktop entry, the metainfo, the manual page, the
# command line, and the installed game started for a moment with its sound module.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR VERSION APP_ID
set -euo pipefail

if [ $# -ne 4 ]; then
    echo "usage: $0 BUILD_DIR SOURCE_DIR VERSION APP_ID" >&2
    exit 2
fi
build=$1
source=$2
version=$3
id=$4

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmar-install.XXXXXX")
game_pid=
cleanup() {
    if [ -n "$game_pid" ]; then
        kill -KILL "$game_pid" 2>/dev/null || true
        wait "$game_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

fail() {
    echo "check-install: $*" >&2
    exit 1
}

for tool in desktop-file-validate appstreamcli groff man dpkg-parsechangelog; do
    command -v "$tool" >/dev/null || fail "'$tool' not found; install tools/packages.txt"
done

root=$scratch/root
DESTDIR=$root cmake --install "$build" --prefix /usr >"$scratch/install.log" ||
    fail "cmake --install failed: $(cat "$scratch/install.log")"

# Exactly these files, under the application id; the module and the solver's tables in the
# private library folder.
module=$(cd "$root" && find usr -name libvelmar_audio.so)
case $module in
usr/lib/velmar/libvelmar_audio.so | usr/lib/*-linux-gnu*/velmar/libvelmar_audio.so) ;;
*) fail "the audio module is not in a private library folder: '$module'" ;;
esac
expected=(usr/bin/velmar usr/bin/velmar-solve "$module" "$(dirname "$module")/solver-tables-7.bin"
    "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
    "usr/share/dbus-1/services/$id.service"
    usr/share/man/man6/velmar.6 usr/share/man/man6/velmar-solve.6
    "usr/share/icons/hicolor/scalable/apps/$id.svg"
    "usr/share/icons/hicolor/symbolic/apps/$id-symbolic.svg")
for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png")
done
printf '%s\n' "${expected[@]}" | sort >"$scratch/expected"
(cd "$root" && find . -type f -printf '%P\n' | sort) >"$scratch/installed"
diff -u "$scratch/expected" "$scratch/installed" || fail "the installed files differ (above)"

# The validators, with every warning counted as a failure.
desktop=$root/usr/share/applications/$id.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -qx "StartupWMClass=$id" "$desktop" || fail "the desktop entry's StartupWMClass is not $id"
# Launchers activate the game over the session bus, which starts the installed program.
grep -qx "DBusActivatable=true" "$desktop" || fail "the desktop entry is not D-Bus activatable"
service=$root/usr/share/dbus-1/services/$id.service
grep -qx "Name=$id" "$service" || fail "the D-Bus service is not named $id"
grep -qx "Exec=/usr/bin/velmar" "$service" || fail "the D-Bus service does not start /usr/bin/velmar"
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/$id.metainfo.xml" \
    >"$scratch/appstream.log" 2>&1 || fail "appstreamcli validate: $(cat "$scratch/appstream.log")"
appstreamcli validate-tree --no-net --strict "$root" >"$scratch/tree.log" 2>&1 ||
    fail "appstreamcli validate-tree: $(cat "$scratch/tree.log")"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo's release is not $version"

for page in "$root"/usr/share/man/man6/velmar.6 "$root"/usr/share/man/man6/velmar-solve.6; do
    warnings=$(groff -ww -z -man -Tutf8 "$page" 2>&1)
    [ -z "$warnings" ] || fail "groff -ww $(basename "$page"): $warnings"
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man --warnings $(basename "$page"): $warnings"
done
page=$root/usr/share/man/man6/velmar.6
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "VELMAR_AUDIO_MODULE" ||
    fail "the manual page does not render its environment"

changelog=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
[ "$changelog" = "$version" ] || fail "debian/changelog says $changelog, the project $version"

# The command line, from a folder of its own and without a display.
mkdir -p "$scratch/elsewhere" "$scratch/home" "$scratch/config" "$scratch/tmp" "$scratch/runtime"
chmod 700 "$scratch/runtime"
game=$root/usr/bin/velmar
plain=(env -i PATH=/usr/bin:/bin HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config"
    TMPDIR="$scratch/tmp" XDG_RUNTIME_DIR="$scratch/runtime" LANG=C.UTF-8)
# A sanitizer build keeps its options (the leak suppressions for the system libraries).
for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS TSAN_OPTIONS; do
    [ -z "${!name:-}" ] || plain+=("$name=${!name}")
done
cd "$scratch/elsewhere"
[ "$("${plain[@]}" "$game" --version)" = "velmar $version" ] || fail "--version is wrong"
"${plain[@]}" "$game" --help >"$scratch/help" || fail "--help did not exit 0"
grep -q "^Usage: velmar" "$scratch/help" || fail "--help shows no usage"
grep -q "running game" "$scratch/help" || fail "--help does not say what a second start does"
[ "$(wc -l <"$scratch/help")" -le 12 ] || fail "--help is not short"
status=0
"${plain[@]}" "$game" --bogus >"$scratch/out" 2>"$scratch/err" || status=$?
# Without a display a game that went on would say so and end with 1; 2 means it never tried.
[ "$status" -eq 2 ] || fail "an unknown option ended with $status, not 2"
[ ! -s "$scratch/out" ] || fail "an unknown option wrote to standard output"
grep -q "unknown option --bogus" "$scratch/err" || fail "an unknown option was not named"

# The installed solver: a position in, its shortest solution out, from the installed tables
# (a solver that missed them would build smaller ones into the cache folder).
solver=$root/usr/bin/velmar-solve
[ "$("${plain[@]}" XDG_CACHE_HOME="$scratch/cache" "$solver" --version)" = "velmar-solve $version" ] ||
    fail "velmar-solve --version is wrong"
answer=$(echo "1 2 3 4 5 6 7 8 9 10 16 11 13 14 15 12" |
    "${plain[@]}" XDG_CACHE_HOME="$scratch/cache" "$solver") || fail "velmar-solve failed"
[ "$answer" = "2 11 12" ] || fail "velmar-solve answered '$answer'"
[ -s "$root/$(dirname "$module")/solver-tables-7.bin" ] ||
    fail "the solver's seven-tile tables are not installed beside the sound module"
[ ! -e "$scratch/cache/velmar/solver-tables.bin" ] || fail "velmar-solve missed the installed tables"
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$root/usr/share/man/man6/velmar-solve.6" 2>/dev/null |
    grep -q "XDG_CACHE_HOME" || fail "the solver's manual page does not render its environment"

# The installed game, offscreen: it must map the installed sound module and report nothing.
"${plain[@]}" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$game" \
    >"$scratch/game.out" 2>"$scratch/game.err" &
game_pid=$!
found=
for _ in $(seq 300); do
    if grep -qF "$root/$module" "/proc/$game_pid/maps" 2>/dev/null; then
        found=yes
        break
    fi
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$found" ] || fail "the installed game did not load $root/$module: $(cat "$scratch/game.err")"
grep -q "libvelmar_audio.so" <(grep -v -F "$root/$module" "/proc/$game_pid/maps") &&
    fail "the installed game also mapped another sound module"
kill -TERM "$game_pid"
status=0
wait "$game_pid" || status=$?
game_pid=
# SIGTERM ends the game as a confirmed close does.
[ "$status" -eq 0 ] || fail "the installed game ended with $status"
# The offscreen platform itself says it cannot pass size hints on; that is not the game's.
grep -v -F "This plugin does not support propagateSizeHints()" "$scratch/game.err" \
    >"$scratch/game.own.err" || true
[ ! -s "$scratch/game.own.err" ] || fail "the installed game reported: $(cat "$scratch/game.own.err")"
echo "check-install: the installed tree under $root checks out"
