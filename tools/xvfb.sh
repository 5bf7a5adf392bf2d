# SPDX-License-Identifier: GPL-3.0-or-later
# An X server without a screen, for the scripts that play the game. Source it, then:
#   start_xvfb FOLDER [XVFB-ARGUMENT...]   starts Xvfb on a free display, its log in
#                                          FOLDER/xvfb.log; sets xvfb_pid and xvfb_display
#                                          (":N") once it takes clients, or fails saying why
#   stop_xvfb                              ends it, if one runs
# The default screen is 1024x768x24 with a black root window.

xvfb_pid=""
xvfb_display=""

start_xvfb() {
    local folder=$1
    shift
    [ $# -gt 0 ] || set -- -screen 0 1024x768x24 -br
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "'Xvfb' not found; install the xvfb package" >&2
        return 1
    fi
    # Xvfb picks a free display itself and writes its number once it accepts clients; the read
    # waits on the pipe for that line, and ends at once should Xvfb exit without it. -noreset:
    # the server would start over when its last client leaves, refusing the next one meanwhile.
    local pipe=$folder/xvfb.pipe number=""
    rm -f "$pipe"
    mkfifo "$pipe"
    Xvfb -displayfd 3 -nolisten tcp -noreset "$@" 3>"$pipe" >"$folder/xvfb.log" 2>&1 &
    xvfb_pid=$!
    read -r -t 30 number <"$pipe" || true
    rm -f "$pipe"
    case $number in
    '' | *[!0-9]*)
        echo "Xvfb did not report a display within 30 s:" >&2
        cat "$folder/xvfb.log" >&2
        stop_xvfb
        return 1
        ;;
    esac
    xvfb_display=:$number
}

stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    xvfb_pid=""
    xvfb_display=""
}
