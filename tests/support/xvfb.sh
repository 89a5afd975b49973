# Shared helpers of the script tests that drive a program in a real window:
# a private Xvfb on a free display, the program under test started in the
# background and stopped before its server, waiting for its window and for
# lines of its log, held mouse presses and keys with xdotool, screenshots and
# pixel reads.
#
# Source it, then start the server:
#     . "$VASKUR_SOURCE_DIR/tests/support/xvfb.sh"
#     xvfb_start || exit 1
#     start_app "$WORK/out.txt" env SOME=1 "$PROGRAM"
#     wait_window --name '^title$' || { echo "no window"; exit 1; }
#
# State it keeps (read it, don't set it unless told):
#     WORK       a private temporary folder, removed at exit (checks.sh)
#     XVFB_PID   the X server
#     APP_PID    the program started with start_app (empty once it ended)
#     APP_STATUS the exit status app_wait saw ("running" when it did not end)
#     WID        the window wait_window found; mouse helpers use it
# and those of checks.sh (FAILS, LOG), which it brings along.

. "$VASKUR_SOURCE_DIR/tests/support/checks.sh"

XVFB_PID=""
APP_PID=""
APP_STATUS=""
WID=""

# ---- the server and the program -------------------------------------------

# stop_process PID: ends a child process, politely first, forcibly after 5 s.
stop_process() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null
    _n=0
    while kill -0 "$1" 2>/dev/null && [ $_n -lt 50 ]; do sleep 0.1; _n=$((_n + 1)); done
    kill -9 "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

# stop_app: ends the program started with start_app. It must be gone before
# its X server goes: Allegro's shutdown talks to the server.
stop_app() {
    stop_process "$APP_PID"
    APP_PID=""
}

xvfb_cleanup() {
    stop_app
    stop_process "$XVFB_PID"
    XVFB_PID=""
    [ -n "$WORK" ] && rm -rf "$WORK"
    WORK=""
}

# xvfb_start [GEOMETRY]: makes $WORK, sets the cleanup trap, starts Xvfb on a
# free display (default screen 1024x768x24) and exports DISPLAY. The server
# picks the display itself (-displayfd), so tests starting servers at the
# same moment never race for a number, and it writes the number only once
# it accepts connections. 1 when no server came up.
xvfb_start() {
    [ -n "$WORK" ] || WORK=$(mktemp -d)
    trap xvfb_cleanup EXIT
    trap 'exit 1' INT TERM HUP PIPE
    : >"$WORK/display"
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    _n=0
    until grep -q '^[0-9][0-9]*$' "$WORK/display"; do
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then
            echo "Xvfb ended without a display: $(cat "$WORK/xvfb.log")"
            XVFB_PID=""
            return 1
        fi
        _n=$((_n + 1)); [ $_n -gt 600 ] && { echo "Xvfb gave no display in 30 s"; return 1; }
        sleep 0.05
    done
    export DISPLAY=":$(head -n 1 "$WORK/display")"
    return 0
}

# start_app OUTPUT COMMAND...: runs the command in the background with its
# output in OUTPUT; APP_PID is its process (use `env VAR=value PROGRAM` to
# give it an environment: env runs the program in its own process).
start_app() {
    _out=$1; shift
    "$@" >"$_out" 2>&1 &
    APP_PID=$!
}

# app_wait [TENTHS]: waits (default 5 s) for the program to end; APP_STATUS is
# its exit status, or "running" (and 1 returned) when it did not end.
app_wait() {
    APP_STATUS=running
    _n=0
    while kill -0 "$APP_PID" 2>/dev/null; do
        _n=$((_n + 1)); [ $_n -gt "${1:-50}" ] && return 1
        sleep 0.1
    done
    wait "$APP_PID" 2>/dev/null
    APP_STATUS=$?
    APP_PID=""
    return 0
}

# wait_window --name PATTERN | --class CLASS [TENTHS]: waits (default 10 s)
# for a window, puts it into WID; 1 when none came.
wait_window() {
    WID=""
    _n=0
    while [ -z "$WID" ]; do
        WID=$(xdotool search "$1" "$2" 2>/dev/null | head -n 1)
        [ -n "$WID" ] && return 0
        _n=$((_n + 1)); [ $_n -gt "${3:-100}" ] && return 1
        sleep 0.1
    done
}

# start_window_app OUTPUT NAME_PATTERN COMMAND...: start_app, then waits
# (10 s) for a window whose name matches. Allegro's start-up now and then
# fails on a freshly started server: a program that ends before its window
# shows is started again (three times at most; $LOG, when set, is emptied
# first). 1 when no window came.
start_window_app() {
    _out=$1; _name=$2; shift 2
    _attempt=0
    while [ $_attempt -lt 3 ]; do
        _attempt=$((_attempt + 1))
        [ -n "$LOG" ] && : >"$LOG"
        start_app "$_out" "$@"
        _n=0
        while :; do
            WID=$(xdotool search --name "$_name" 2>/dev/null | head -n 1)
            [ -n "$WID" ] && return 0
            kill -0 "$APP_PID" 2>/dev/null || break
            _n=$((_n + 1)); [ $_n -gt 100 ] && return 1
            sleep 0.1
        done
        echo "the program ended before its window showed (attempt $_attempt)"
        wait "$APP_PID" 2>/dev/null
        APP_PID=""
        sleep 0.5
    done
    return 1
}

# ---- input ------------------------------------------------------------------
# A plain `xdotool click` is too short for a loop that polls the buttons:
# presses are held.

# move X Y: the pointer to window coordinates.
move() { xdotool mousemove --window "$WID" "$1" "$2"; sleep 0.15; }
press() { xdotool mousedown "${1:-1}"; sleep 0.08; }
release() { xdotool mouseup "${1:-1}"; sleep 0.08; }
# click X Y [BUTTON]: move there, press and let go, then wait CLICK_PAUSE
# seconds (set it where clicks in a row must not make a double click).
CLICK_PAUSE=0
click() { move "$1" "$2"; press "${3:-1}"; release "${3:-1}"; sleep "$CLICK_PAUSE"; }
# dclick X Y: a double click there.
dclick() {
    move "$1" "$2"
    xdotool mousedown 1 sleep 0.05 mouseup 1 sleep 0.05 mousedown 1 sleep 0.05 mouseup 1
    sleep "$CLICK_PAUSE"
}
# wheel BUTTON TIMES: wheel steps where the pointer is (4 up, 5 down).
wheel() {
    _n=0
    while [ $_n -lt "$2" ]; do xdotool click "$1"; sleep 0.15; _n=$((_n + 1)); done
}
# key KEY...: keys to the window under the pointer, then KEY_PAUSE seconds.
KEY_PAUSE=0.1
key() { xdotool key --delay 80 "$@"; sleep "$KEY_PAUSE"; }
# type_text TEXT: typed as keys (ASCII only arrives exactly).
type_text() { xdotool type --delay 80 "$1"; }

# ---- the picture ------------------------------------------------------------

# shoot FILE: a screenshot of the window $WID (window coordinates).
shoot() { import -window "$WID" "$1" 2>/dev/null; }
# pixel FILE X Y: "R G B" of a pixel of a picture, 0 to 255 each.
pixel() {
    /usr/bin/convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | tail -n 1 \
        | sed 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/'
}
# near "R G B" R G B [TOLERANCE]: each channel within TOLERANCE (default 8).
near() {
    _t=${5:-8}
    # shellcheck disable=SC2086
    set -- $1 "$2" "$3" "$4"
    [ $# -eq 6 ] || return 1
    [ $(( ($1 - $4) * ($1 - $4) <= _t * _t && ($2 - $5) * ($2 - $5) <= _t * _t \
        && ($3 - $6) * ($3 - $6) <= _t * _t )) -eq 1 ]
}
