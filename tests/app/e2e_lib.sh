# Shared helpers of the end-to-end tests: a private Xvfb, the real program in
# its run folder, mouse presses and keys with xdotool, each waited for in the
# program's input trace (tests/support/xvfb.sh), and pixel and screenshot
# checks. Sourced by the e2e_*_test.sh scripts.

. "${VASKUR_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xvfb.sh"

RUN_DIR=${VASKUR_RUN_DIR:-${VASKUR_BINARY_DIR:-.}/rundir}
SHOT_DIR=${E2E_SHOT_DIR:-$(mktemp -d /tmp/vaskur-e2e.XXXXXX)}
mkdir -p "$SHOT_DIR"
CONVERT=/usr/bin/convert

pass() { ok "$@"; }

# A press or key may start a build or a search, which runs before the
# program takes the next input: the input helpers wait as long as
# wait_message_changes does.
TRACE_TENTHS=1800

# Starts a private Xvfb (1024x768x24) and ends the test when none came up.
start_x() { xvfb_start || exit 1; }

# Starts the program in the run folder (writing a line for every build and
# search it finishes, and its input trace) and waits until its main window
# is drawn.
start_app() {
    [ -x "$RUN_DIR/vaskur" ] || { echo "no program at $RUN_DIR/vaskur"; exit 1; }
    TRACE="$(cd "$SHOT_DIR" && pwd)/input.log"
    (cd "$RUN_DIR" && VASKUR_TIMING=1 VASKUR_INPUT_TRACE="$TRACE" exec ./vaskur) >"$SHOT_DIR/app.log" 2>&1 &
    APP_PID=$!
    FINISHED=0
    WID=
    until_true 100 app_window || { echo "the program's window did not appear"; cat "$SHOT_DIR/app.log"; exit 1; }
    # The background left of the picture: the first frame is there.
    until_true 100 shows 9 9 "190 198 208" || { echo "the main window was not drawn"; exit 1; }
    # Allegro takes the first moves after its window appears from where it
    # put the pointer itself: the pointer is moved until the cursor follows.
    _try=0
    until park; do
        _try=$((_try + 1)); [ $_try -gt 10 ] && { echo "the cursor does not follow the pointer"; exit 1; }
    done
}

# app_window: the program's window exists (WID) and the program runs.
app_window() {
    kill -0 "$APP_PID" 2>/dev/null || { echo "the program ended: $(cat "$SHOT_DIR/app.log")"; exit 1; }
    WID=$(xdotool search --class Vaskur 2>/dev/null | head -1)
    [ -n "$WID" ]
}

# until_true TENTHS COMMAND...: runs the command every tenth of a second
# until it succeeds; 1 when it did not within TENTHS tenths.
until_true() {
    _t=$1; shift
    _k=0
    until "$@"; do
        _k=$((_k + 1)); [ $_k -gt "$_t" ] && return 1
        sleep 0.1
    done
}

# shows X Y "R G B": the window shows that colour (within 8) at (X, Y) now.
shows() {
    shoot "$SHOT_DIR/_now.png" || return 1
    # shellcheck disable=SC2086
    near "$(pixel "$SHOT_DIR/_now.png" "$1" "$2")" $3
}

# Waits for the program to end and puts its exit status into STATUS
# ("running" when it did not end within 10 seconds).
app_status() {
    app_wait 100
    STATUS=$APP_STATUS
}

# press X Y [BUTTON]: a click at window coordinates (1 left, 3 right), once
# the program has taken it and whatever it started has ended.
press() { click "$1" "$2" "${3:-1}"; }
# Parks the pointer over the window's empty background between the picture
# and the title, where even a 640-pixel-wide window has it (keys go to the
# window under the pointer), and waits (1 s) until the program draws its
# cursor there: by then it has handled everything sent before and drawn the
# result. Two places by turns, so that every park is a move. 1 when the
# cursor did not come.
PARK_Y=60
park() {
    PARK_Y=$((128 - PARK_Y))       # 60, 68, 60, ...
    xdotool mousemove --window "$WID" 536 "$PARK_Y"
    until_true 10 shows 537 $((PARK_Y + 6)) "255 255 255"
}
key() { park; send_keys "$@"; }

# Buttons of the main window, by their centres.
press_load() { press 665 155; }
press_clear() { press 665 200; }
press_heightmap() { press 665 245; }
press_model() { press 665 290; }
press_vertices() { press 665 335; }
press_graph() { press 665 380; }
press_search() { press 665 425; }
press_quicksearch() { press 665 470; }
press_exit() { press 665 515; }

# shot NAME: a screenshot of the window into $SHOT_DIR/NAME.png, taken with
# the pointer parked over the background so that the cursor hides nothing.
shot() { park || fail "the cursor did not come to rest before shot $1"; shoot "$SHOT_DIR/$1.png"; }

# expect_pixel NAME X Y "R G B" WHAT
expect_pixel() {
    got=$(pixel "$SHOT_DIR/$1.png" "$2" "$3")
    # shellcheck disable=SC2086
    if near "$got" $4; then pass "$5"; else fail "$5: pixel ($2, $3) of $1 is $got, expected $4"; fi
}

# count_colour NAME X Y W H "R G B": pixels of that colour (within 8) in a rectangle.
count_colour() {
    "$CONVERT" "$SHOT_DIR/$1.png" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- |
        sed -n 's/^[^(]*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' |
        awk -v c="$6" 'BEGIN { split(c, t, " ") }
            { d1 = $1 - t[1]; d2 = $2 - t[2]; d3 = $3 - t[3];
              if (d1 < 0) d1 = -d1; if (d2 < 0) d2 = -d2; if (d3 < 0) d3 = -d3;
              if (d1 <= 8 && d2 <= 8 && d3 <= 8) n++ } END { print n + 0 }'
}

# differs NAME1 NAME2 X Y W H: number of differing pixels in a rectangle.
differs() {
    "$CONVERT" "$SHOT_DIR/$1.png" -crop "$5x$6+$3+$4" +repage "$SHOT_DIR/_a.png"
    "$CONVERT" "$SHOT_DIR/$2.png" -crop "$5x$6+$3+$4" +repage "$SHOT_DIR/_b.png"
    compare -metric AE "$SHOT_DIR/_a.png" "$SHOT_DIR/_b.png" null: 2>&1 | awk '{ print int($1) }'
}

# Chooses a file of the run folder in the file selector: the file-name box
# gets the relative name typed after the current directory, then OK; waits
# until the selector has gone.
choose_file() {
    press_load
    until_true 100 shows 300 300 "231 230 239" || fail "the file selector did not open"
    press 367 411          # the file-name box
    send_keys End
    type_text "$1"
    press 539 409          # OK
    until_true 100 not_shows 300 300 "231 230 239" || fail "the file selector did not close"
}

# not_shows X Y "R G B": the window does not show that colour at (X, Y) now.
not_shows() { ! shows "$@"; }

# Loads a map and builds it with the parameters window's defaults.
load_map() {
    choose_file "$1"
    shot parameters
    press 453 311          # "Koosta mudel"
    wait_message_changes
}

# Waits until one more build or search has ended than at the last call
# (the program writes a line for each; see start_app).
wait_message_changes() {
    FINISHED=$((FINISHED + 1))
    until_true 1800 finished_at_least "$FINISHED" || fail "build or search number $FINISHED did not end"
}
finished_at_least() { [ "$(grep -c '^vaskur-timing ' "$SHOT_DIR/app.log")" -ge "$1" ]; }

finish() {
    # A sanitizer build reports memory and undefined-behaviour faults here.
    if grep -q "AddressSanitizer\|LeakSanitizer\|runtime error" "$SHOT_DIR/app.log" 2>/dev/null; then
        fail "the program reported sanitizer errors (see $SHOT_DIR/app.log)"
    fi
    if [ "$FAILS" -eq 0 ]; then
        echo "all checks passed (screenshots in $SHOT_DIR)"
        exit 0
    fi
    echo "$FAILS check(s) failed (screenshots in $SHOT_DIR)"
    exit 1
}

# message_width NAME: width in pixels of the message line's text (the span
# of its text-coloured pixels; 0 for an empty line).
message_width() {
    "$CONVERT" "$SHOT_DIR/$1.png" -crop 776x46+12+542 +repage -depth 8 txt:- |
        sed -n 's/^\([0-9]*\),[0-9]*: *(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3 \4/p' |
        awk '$2 < 90 && $3 < 110 && $4 > 40 && $4 < 180 { if (min == "" || $1 < min) min = $1; if ($1 > max) max = $1 }
             END { if (min == "") print 0; else print max - min + 1 }'
}

# expect_message NAME MIN MAX WHAT: the message's width lies in [MIN, MAX].
expect_message() {
    w=$(message_width "$1")
    if [ "$w" -ge "$2" ] && [ "$w" -le "$3" ]; then pass "$4 (message $w px wide)"
    else fail "$4: message $w px wide, expected $2..$3"; fi
}
