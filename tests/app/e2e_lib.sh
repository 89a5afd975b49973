# Shared helpers of the end-to-end tests: a private Xvfb, the real program in
# its run folder, held mouse presses and key presses with xdotool, and pixel
# and screenshot checks. Sourced by the e2e_*_test.sh scripts.

. "${VASKUR_SOURCE_DIR:-$(dirname "$0")/../..}/tests/support/xvfb.sh"

RUN_DIR=${VASKUR_RUN_DIR:-${VASKUR_BINARY_DIR:-.}/rundir}
SHOT_DIR=${E2E_SHOT_DIR:-$(mktemp -d /tmp/vaskur-e2e.XXXXXX)}
mkdir -p "$SHOT_DIR"
CONVERT=/usr/bin/convert

pass() { ok "$@"; }

# Starts a private Xvfb (1024x768x24) and ends the test when none came up.
start_x() { xvfb_start || exit 1; }

# Starts the program in the run folder and waits for its window. Allegro
# now and then fails to start on a freshly started Xvfb ("initializing
# Allegro"): the program ends at once then and is started again, up to
# three times.
start_app() {
    [ -x "$RUN_DIR/vaskur" ] || { echo "no program at $RUN_DIR/vaskur"; exit 1; }
    for attempt in 1 2 3; do
        (cd "$RUN_DIR" && exec ./vaskur) >"$SHOT_DIR/app.log" 2>&1 &
        APP_PID=$!
        WID=
        for _ in $(seq 1 100); do
            WID=$(xdotool search --class Allegro 2>/dev/null | head -1)
            [ -n "$WID" ] && break
            kill -0 "$APP_PID" 2>/dev/null || break
            sleep 0.1
        done
        [ -n "$WID" ] && break
        if ! kill -0 "$APP_PID" 2>/dev/null && grep -q 'initializing Allegro' "$SHOT_DIR/app.log"; then
            wait "$APP_PID" 2>/dev/null
            APP_PID=
            continue
        fi
        break
    done
    [ -n "$WID" ] || { echo "the program's window did not appear"; cat "$SHOT_DIR/app.log"; exit 1; }
    sleep 1.5
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

# press X Y [BUTTON]: a held press at window coordinates (1 left, 3 right).
press() {
    xdotool mousemove --window "$WID" "$1" "$2" mousedown "${3:-1}" sleep 0.08 mouseup "${3:-1}"
    sleep 0.4
}
# Parks the pointer over the window's empty background (keys go there).
park() { xdotool mousemove --window "$WID" 790 60; sleep 0.2; }
key() { park; xdotool key --delay 80 "$@"; sleep 0.4; }

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
shot() { park; sleep 0.2; shoot "$SHOT_DIR/$1.png"; }

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
# gets the relative name typed after the current directory, then OK.
choose_file() {
    press_load
    sleep 0.8
    press 367 411          # the file-name box
    xdotool key --delay 60 End
    xdotool type --delay 60 "$1"
    sleep 0.2
    press 539 409          # OK
    sleep 1
}

# Loads a map and builds it with the parameters window's defaults.
load_map() {
    choose_file "$1"
    shot parameters
    press 453 311          # "Koosta mudel"
    wait_message_changes
}

# Waits until the message line stops changing (a build or search is over).
wait_message_changes() {
    prev=
    for _ in $(seq 1 120); do
        sleep 0.5
        shoot "$SHOT_DIR/_wait.png"
        cur=$(md5sum <"$SHOT_DIR/_wait.png")
        [ "$cur" = "$prev" ] && return 0
        prev=$cur
    done
}

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
