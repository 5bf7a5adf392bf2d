#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the game against the floor program in the same run, so only ratios matter and a
# shared, noisy machine slows both alike. Usage: tools/bench/run-bench.sh
#
# Environment:
#   BENCH_RUNS=7            repetitions per program and environment
#   BENCH_IDLE_SECONDS=20   length of the idle window
#   BENCH_SKIP_BUILD=1      reuse build-bench/ as it is
#   GAME_BIN, GAME_TITLE    measure another program in the game's role (e.g. the floor itself)
#   BENCH_ENVS="plain gnome"  environments to run; also "quiet": measured once the game's first
#                           melody has ended and its sound output has closed, and "stopped":
#                           the music stopped with Ctrl+S right after the paint (sent to the
#                           floor too, which ignores it) and measured from 15 s after the start
#   BENCH_QUIET_SECONDS=125 how long "quiet" waits after the paint (the melody ends near 100 s
#                           and its output closes ten seconds later)
#   BENCH_STOPPED_SECONDS=15  how long after the start "stopped" begins to measure
#   BENCH_PAINT_TIMEOUT_MS=30000
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$repo"

runs=${BENCH_RUNS:-7}
idle=${BENCH_IDLE_SECONDS:-20}
settle=2
envs=${BENCH_ENVS:-plain gnome}
build="build-bench"
paint_timeout_ms=${BENCH_PAINT_TIMEOUT_MS:-30000}

die() {
    echo "run-bench: $*" >&2
    exit 1
}

"$(dirname "${BASH_SOURCE[0]}")/../install-packages.sh" tools/packages.txt tools/bench/packages.txt >&2

for tool in cmake awk getconf xdotool; do
    command -v "$tool" >/dev/null ||
        die "'$tool' not found (Debian packages: xvfb, cmake, mawk, libc-bin, xdotool)"
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || die "BENCH_RUNS must be a positive integer"
[[ $idle =~ ^[1-9][0-9]*$ ]] || die "BENCH_IDLE_SECONDS must be a positive integer"

tools_dir=$build
if [[ ${BENCH_SKIP_BUILD:-0} != 1 ]]; then
    targets=(velmar_floor velmar_probe)
    [[ -z ${GAME_BIN:-} ]] && targets+=(velmar)
    mkdir -p "$build"
    if cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMAR_TESTS=OFF \
        >"$build/configure.log" 2>&1; then
        cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >&2 ||
            die "build failed (targets: ${targets[*]})"
    elif [[ -n ${GAME_BIN:-} ]]; then
        # The game's tree does not configure yet; the tools still build on their own.
        echo "run-bench: project does not configure (see $build/configure.log); building the tools alone" >&2
        tools_dir=$build/tools-only
        cmake -S tools/bench -B "$tools_dir" -DCMAKE_BUILD_TYPE=Release >&2 ||
            die "tools do not configure"
        cmake --build "$tools_dir" -j"$(nproc)" >&2 || die "tools do not build"
    else
        die "configure failed, see $build/configure.log"
    fi
elif [[ ! -x $build/velmar_probe && -x $build/tools-only/velmar_probe ]]; then
    tools_dir=$build/tools-only
fi

probe=$repo/$tools_dir/velmar_probe
floor_bin=$repo/$tools_dir/velmar_floor
floor_title="Velmar Floor"
game_bin=${GAME_BIN:-$repo/$build/velmar}
game_title=${GAME_TITLE:-Velmar}
[[ $game_bin == /* ]] || game_bin=$repo/$game_bin
for bin in "$probe" "$floor_bin" "$game_bin"; do
    [[ -x $bin ]] || die "missing binary: $bin"
done

tick=$(getconf CLK_TCK)
work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-bench.XXXXXX")
. "$repo/tools/xvfb.sh"
prog_pid=""
probe_pid=""

cleanup() {
    set +e
    [[ -n $probe_pid ]] && kill "$probe_pid" 2>/dev/null
    if [[ -n $prog_pid ]]; then
        kill -KILL -- "-$prog_pid" 2>/dev/null || kill -KILL "$prog_pid" 2>/dev/null
    fi
    stop_xvfb
    rm -rf "$work"
    return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

stop_program() {
    local i
    kill -TERM -- "-$prog_pid" 2>/dev/null || kill -TERM "$prog_pid" 2>/dev/null || true
    for ((i = 0; i < 200; i++)); do
        kill -0 "$prog_pid" 2>/dev/null || break
        sleep 0.01
    done
    kill -KILL -- "-$prog_pid" 2>/dev/null || true
    wait "$prog_pid" 2>/dev/null || true
    prog_pid=""
}

# Ctrl+S to the window (no window manager: focus it directly so the key reaches it), then
# waits until BENCH_STOPPED_SECONDS after the start stamp.
stop_music() {
    local rd=$1 title=$2
    shift 2
    local wid
    wid=$(env -i "$@" "$probe" window-id --title "$title") || die "no window \"$title\""
    env -i "$@" xdotool windowfocus "$wid"
    sleep 0.2
    env -i "$@" xdotool key --clearmodifiers ctrl+s
    local now wait_ms
    now=$("$probe" now-ns)
    wait_ms=$(((${BENCH_STOPPED_SECONDS:-15} * 1000000000 - (now - $(<"$rd/stamp"))) / 1000000))
    ((wait_ms > 0)) && sleep "$((wait_ms / 1000)).$(printf '%03d' $((wait_ms % 1000)))"
    return 0
}

# CPU ticks (utime+stime, after the command name, which may hold spaces), scheduler ns summed
# over threads, and context switches summed over threads.
sample() {
    local pid=$1 stat
    stat=$(<"/proc/$pid/stat") || return 1
    stat=${stat##*) }
    awk -v s="$stat" 'BEGIN { split(s, f, " "); printf "%d ", f[12] + f[13] }'
    cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%d ", n }'
    cat /proc/"$pid"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches:/ { n += $2 } END { printf "%d ", n }'
    echo "${EPOCHREALTIME/[.,]/}"
}

# Prints: start_ms rss_mib cpu_pct sched_cpu_pct wakeups_per_s
measure() {
    local envname=$1 bin=$2 title=$3 rd
    rd=$(mktemp -d "$work/run.XXXXXX")
    mkdir -p "$rd/home" "$rd/config" "$rd/cache" "$rd/data" "$rd/tmp" "$rd/runtime"
    chmod 700 "$rd/runtime"
    start_xvfb "$rd" || die "Xvfb did not start"
    local display=$xvfb_display

    local -a vars=(PATH=/usr/local/bin:/usr/bin:/bin HOME="$rd/home" XDG_CONFIG_HOME="$rd/config"
        XDG_CACHE_HOME="$rd/cache" XDG_DATA_HOME="$rd/data" XDG_RUNTIME_DIR="$rd/runtime"
        TMPDIR="$rd/tmp" DISPLAY="$display" LANG=C.UTF-8 SDL_AUDIODRIVER=dummy)
    local -a probe_vars=("${vars[@]}")
    [[ $envname == gnome ]] && vars+=(XDG_CURRENT_DESKTOP=GNOME)

    # The probe connects first, so its own start-up is not part of the measurement. It keeps
    # the plain environment: under GNOME it would load GTK, which caches its GL probe on the
    # root window and so spares the measured program that cost.
    env -i "${probe_vars[@]}" "$probe" wait-painted --title "$title" --timeout-ms "$paint_timeout_ms" \
        --since-file "$rd/stamp" --ready-file "$rd/ready" >"$rd/start" 2>"$rd/probe.log" &
    probe_pid=$!
    local i
    for ((i = 0; i < 1000; i++)); do
        [[ -e $rd/ready ]] && break
        kill -0 "$probe_pid" 2>/dev/null || break
        sleep 0.01
    done
    [[ -e $rd/ready ]] || { cat "$rd/probe.log" >&2; die "probe did not connect to $display"; }

    (cd "$rd/home" && exec env -i "${vars[@]}" "$probe" exec --stamp "$rd/stamp" -- "$bin") \
        >"$rd/program.log" 2>&1 &
    prog_pid=$!

    if ! wait "$probe_pid"; then
        probe_pid=""
        cat "$rd/probe.log" >&2
        echo "--- $bin output:" >&2
        tail -n 20 "$rd/program.log" >&2
        stop_program
        stop_xvfb
        die "$(basename "$bin") did not paint \"$title\" ($envname)"
    fi
    probe_pid=""

    case $envname in
    quiet) sleep "${BENCH_QUIET_SECONDS:-125}" ;;
    stopped) stop_music "$rd" "$title" "${vars[@]}" ;;
    *) sleep "$settle" ;;
    esac
    kill -0 "$prog_pid" 2>/dev/null || die "$(basename "$bin") exited early ($envname)"
    local rss
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$prog_pid/status")
    local s0 s1
    s0=$(sample "$prog_pid")
    sleep "$idle"
    s1=$(sample "$prog_pid") || die "$(basename "$bin") exited while idle ($envname)"
    stop_program
    stop_xvfb
    awk -v start="$(<"$rd/start")" -v rss="$rss" -v a="$s0" -v b="$s1" -v tick="$tick" 'BEGIN {
        split(a, x, " "); split(b, y, " ")
        sec = (y[4] - x[4]) / 1e6
        printf "%s %.1f %.3f %.3f %.1f\n", start, rss / 1024, (y[1] - x[1]) / tick / sec * 100,
            (y[2] - x[2]) / 1e9 / sec * 100, (y[3] - x[3]) / sec
    }'
    rm -rf "$rd"
}

results=$work/results
: >"$results"
for envname in $envs; do
    for ((r = 1; r <= runs; r++)); do
        for role in game floor; do
            if [[ $role == game ]]; then
                bin=$game_bin title=$game_title
            else
                bin=$floor_bin title=$floor_title
            fi
            # Not in a command substitution: its pids must stay visible to the exit trap.
            measure "$envname" "$bin" "$title" >"$work/line"
            line=$(<"$work/line")
            echo "run-bench: $envname $role $r/$runs: $line" >&2
            echo "$envname $role $line" >>"$results"
        done
    done
done

report() {
    echo "# Velmar benchmark"
    echo
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) CPUs, $runs runs each, idle window ${idle} s."
    echo "Game: \`${game_bin#"$repo"/}\` (\"$game_title\"); floor: \`${floor_bin#"$repo"/}\`."
    for envname in $envs; do
        echo
        case $envname in
        gnome) echo "## Environment: gnome (XDG_CURRENT_DESKTOP=GNOME)" ;;
        plain) echo "## Environment: plain (the game's first melody plays while it is measured)" ;;
        quiet) echo "## Environment: quiet (measured ${BENCH_QUIET_SECONDS:-125} s after the paint, the melody over)" ;;
        stopped) echo "## Environment: stopped (Ctrl+S after the paint, measured from ${BENCH_STOPPED_SECONDS:-15} s after the start)" ;;
        *) echo "## Environment: $envname" ;;
        esac
        echo
        awk -v env="$envname" '
        function median(v, n,   i, j, t) {
            for (i = 2; i <= n; i++) {
                t = v[i]
                for (j = i - 1; j >= 1 && v[j] > t; j--) v[j + 1] = v[j]
                v[j + 1] = t
            }
            return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
        }
        function stats(role, m,   n, i, v, lo, hi, med) {
            n = 0
            for (i = 1; i <= count[role]; i++) v[++n] = val[role, i, m]
            med = median(v, n)
            lo = v[1]; hi = v[n]
            fmtd = sprintf(fmt[m] " / " fmt[m] " / " fmt[m], lo, med, hi)
            return med
        }
        $1 == env {
            role = $2; i = ++count[role]
            for (m = 1; m <= 5; m++) val[role, i, m] = $(m + 2)
        }
        END {
            # The first melody plays in the plain and gnome windows: memory may hold its
            # instruments, and its CPU is held to an absolute share of a core ("abs").
            music = env != "quiet" && env != "stopped"
            name[1] = "start to painted window (ms)"; fmt[1] = "%.1f"; limit[1] = 1.15
            name[2] = "resident memory (MiB)"; fmt[2] = "%.1f"; limit[2] = music ? 1.45 : 1.3
            cpu = music ? "CPU with music" : "idle CPU"
            name[3] = cpu ", utime+stime (% of a core)"; fmt[3] = "%.2f"; limit[3] = 3
            name[4] = cpu ", scheduler ns (% of a core)"; fmt[4] = "%.3f"; limit[4] = 3
            abs[3] = abs[4] = music
            # Idle, the game may wake no more often than the floor, whose two timers it shares.
            name[5] = (music ? "wake-ups with music" : "idle wake-ups") " (per s)"; fmt[5] = "%.1f"
            limit[5] = music ? 0 : 1
            print "| metric | game min / median / max | floor min / median / max | game/floor | target | |"
            print "|---|---|---|---|---|---|"
            for (m = 1; m <= 5; m++) {
                g = stats("game", m); gs = fmtd
                f = stats("floor", m); fs = fmtd
                if (f > 0) { ratio = g / f; rs = sprintf("%.2fx", ratio) } else { ratio = -1; rs = "n/a" }
                if (limit[m] == 0) { ts = "-"; vs = "" }
                else if (abs[m]) {
                    ts = sprintf("<= %g %% of a core", limit[m])
                    vs = (g <= limit[m] ? "ok" : "OVER")
                } else {
                    ts = sprintf("<= %gx", limit[m])
                    if (ratio < 0) vs = (g == 0 ? "ok" : "?")
                    else vs = (ratio <= limit[m] ? "ok" : "OVER")
                }
                printf "| %s | %s | %s | %s | %s | %s |\n", name[m], gs, fs, rs, ts, vs
            }
        }' "$results"
    done
    echo
    echo "utime+stime counts whole ${tick}-Hz ticks, so a short idle window rounds it coarsely;"
    echo "the scheduler-ns row is the same quantity at nanosecond resolution."
}

mkdir -p "$build"
report | tee "$build/bench.md"
