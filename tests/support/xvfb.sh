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
#     TRACE      the input trace the program writes (set it, and pass it
#                as VASKUR_INPUT_TRACE, before using the input helpers)
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
# A program on the framework started with VASKUR_INPUT_TRACE=$TRACE writes a
# line there for every input it takes and "shown" once the loop pass that
# took it has put its frame on the X server (gui/InputTrace.h). Each helper
# sends its input with xdotool, then waits (TRACE_TENTHS tenths of a second)
# until the program has taken it: no fixed pauses. A helper that waited in
# vain counts a FAIL and returns 1; once the program has ended, nothing more
# is waited for.

TRACE=""
TRACE_TENTHS=100
MARK=0

# trace_mark: the waits that follow look only at lines written after now.
trace_mark() { MARK=$(cat "$TRACE" 2>/dev/null | wc -l); }

# trace_has PATTERN...: lines matching the grep patterns follow the mark, in
# this order.
trace_has() {
    awk -v m="$MARK" -v pats="$(printf '%s\n' "$@")" '
        BEGIN { n = split(pats, p, "\n"); i = 1 }
        NR > m && i <= n && $0 ~ p[i] { i++ }
        END { exit !(i > n) }' "$TRACE" 2>/dev/null
}

# trace_until COMMAND...: runs the check every 50 ms until it holds or the
# program has ended; 1 when neither happened within TRACE_TENTHS.
trace_until() {
    _w=0
    until "$@"; do
        [ -n "$APP_PID" ] && ! kill -0 "$APP_PID" 2>/dev/null && return 0
        _w=$((_w + 1)); [ $_w -gt $((TRACE_TENTHS * 2)) ] && return 1
        sleep 0.05
    done
}

# trace_wait PATTERN...: waits for trace_has; a FAIL naming what did not come.
trace_wait() {
    trace_until trace_has "$@" && return 0
    fail "the program did not take the input: no '$*' in its trace (last: $(tail -n 3 "$TRACE" 2>/dev/null | tr '\n' '|'))"
    return 1
}

# pointer_at X Y: the program has the pointer at (X, Y) and has shown it.
pointer_at() {
    awk -v x="$1" -v y="$2" '$1 == "move" { at = $2 == x && $3 == y; shown = 0 }
        $1 == "shown" { shown = 1 } END { exit !(at && shown) }' "$TRACE" 2>/dev/null
}

# keys_taken N: N keys follow the mark and the pass that took the last one has ended.
keys_taken() {
    awk -v m="$MARK" -v n="$1" 'NR > m && $1 == "key" { k++ } NR > m && k >= n && $1 == "shown" { ok = 1 }
        END { exit !ok }' "$TRACE" 2>/dev/null
}

button_name() { case "$1" in 1) echo left ;; 2) echo middle ;; *) echo right ;; esac; }

# within VALUE SIZE: the value kept to 0 .. SIZE - 1.
within() { if [ "$1" -lt 0 ]; then echo 0; elif [ "$1" -ge "$2" ]; then echo $(($2 - 1)); else echo "$1"; fi; }

# move X Y: the pointer to window coordinates; past the window's edges the
# program has it on the edge.
SIZE_OF=""
move() {
    if [ "$SIZE_OF" != "$WID" ]; then
        eval "$(xdotool getwindowgeometry --shell "$WID" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
        SIZE_OF=$WID
    fi
    xdotool mousemove --window "$WID" "$1" "$2"
    trace_until pointer_at "$(within "$1" "$WIDTH")" "$(within "$2" "$HEIGHT")" && return 0
    fail "the program did not take the pointer to ($1, $2) (last: $(grep '^move' "$TRACE" | tail -n 1))"
    return 1
}
# settle_pointer X Y: puts the pointer at (X, Y), again if need be, until
# the program has it there: Allegro takes the first move after its window
# appears from where it believes the pointer is, and follows from then on.
# 1 when it never did.
settle_pointer() {
    _limit=$TRACE_TENTHS; TRACE_TENTHS=10
    _try=0
    while [ $_try -lt 10 ]; do
        _x=$(( $1 + _try % 2 ))     # every try a real move
        xdotool mousemove --window "$WID" "$_x" "$2"
        trace_until pointer_at "$_x" "$2" && break
        _try=$((_try + 1))
    done
    TRACE_TENTHS=$_limit
    [ $_try -lt 10 ]
}
# button_down [BUTTON], button_up [BUTTON]: press or let go of a button
# where the pointer is (1 left, 2 middle, 3 right); press and release are
# the same.
button_down() { trace_mark; xdotool mousedown "${1:-1}"; trace_wait "^press $(button_name "${1:-1}") " "^shown$"; }
button_up() { trace_mark; xdotool mouseup "${1:-1}"; trace_wait "^release $(button_name "${1:-1}") " "^shown$"; }
press() { button_down "$@"; }
release() { button_up "$@"; }
# click X Y [BUTTON]: move there, press and let go, then wait until the
# press waits for no second one: clicks in a row never make a double click.
click() {
    move "$1" "$2" || return 1
    trace_mark; _at=$MARK
    button_down "${3:-1}" && button_up "${3:-1}" || return 1
    MARK=$_at
    trace_wait "^press " "^settled$"
}
# dclick X Y: a double click there (two clicks with no pause between).
dclick() {
    move "$1" "$2" || return 1
    trace_mark
    xdotool mousedown 1 mouseup 1 mousedown 1 mouseup 1
    trace_wait "^dclick " "^shown$" && trace_wait "^dclick " "^settled$"
}
# wheel BUTTON TIMES: wheel steps where the pointer is (4 up, 5 down).
wheel() {
    _n=0
    while [ $_n -lt "$2" ]; do
        trace_mark
        xdotool click "$1"
        trace_wait "^wheel " "^shown$" || return 1
        _n=$((_n + 1))
    done
}
# send_keys KEY...: keys to the window under the pointer, each taken (key is
# the same).
send_keys() {
    trace_mark
    xdotool key --delay 80 "$@"
    trace_until keys_taken $# && return 0
    fail "the program did not take the keys '$*'"
    return 1
}
key() { send_keys "$@"; }
# type_text TEXT: typed as keys (ASCII only arrives exactly), each taken.
type_text() {
    trace_mark
    xdotool type --delay 80 "$1"
    trace_until keys_taken "${#1}" && return 0
    fail "the program did not take the typed '$1'"
    return 1
}

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
