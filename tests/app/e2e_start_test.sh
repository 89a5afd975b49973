#!/bin/sh
# The program starts with a black picture, zero counters and an empty message
# line, and Esc ends it with exit status 1. A missing skin and a width that
# is no number are reported and the program runs on; a display that goes
# away ends it at once with status 2.
. "$(dirname "$0")/e2e_lib.sh"
start_x
start_app
shot start

expect_pixel start 11 11 "0 0 0" "picture black at its top-left corner"
expect_pixel start 520 520 "0 0 0" "picture black at its bottom-right corner"
black=$(count_colour start 10 10 513 513 "0 0 0")
[ "$black" -ge 260000 ] && pass "the whole 513 x 513 picture is black" || fail "only $black black pixels in the picture"
expect_message start 0 0 "message line empty"
# The three counters read "0": a narrow glyph at the right edge of each box.
for y in 82 102 122; do
    n=$(count_colour start 725 "$y" 55 16 "20 24 32")
    [ "$n" -gt 5 ] && [ "$n" -lt 60 ] && pass "counter at y=$y shows one digit" || fail "counter at y=$y: $n text pixels"
done

key Escape
app_status
[ "$STATUS" = 1 ] && pass "Esc ends the program with status 1" || fail "exit status after Esc: $STATUS"
# The settings turn sound off: the sound system is not even probed.
grep -qi alsa "$SHOT_DIR/app.log" && fail "sound lines at start: $(grep -i alsa "$SHOT_DIR/app.log" | head -1)" \
    || pass "no sound lines on the console"

# A skin description of the settings that is missing is reported, and the
# program runs on with the look it has.
ORIGINAL_RUN_DIR=$RUN_DIR
alt=$(mktemp -d)
for f in "$RUN_DIR"/*; do ln -s "$f" "$alt/"; done
rm "$alt/gui.cfg"
sed 's/^skinPath.*/skinPath = missing.ini/' "$RUN_DIR/gui.cfg" >"$alt/gui.cfg"
RUN_DIR=$alt
start_app
grep -q "missing.ini: Error: skin description file not found" "$SHOT_DIR/app.log" \
    && pass "the missing skin description is reported" || fail "no report of the missing skin: $(cat "$SHOT_DIR/app.log")"
key Escape
app_status
[ "$STATUS" = 1 ] && pass "the program ran on without that skin" || fail "exit status without the skin: $STATUS"

# A width that is no number: the default width is used, and said so.
rm "$alt/gui.cfg"
sed 's/^screenWidth.*/screenWidth = abc/' "$ORIGINAL_RUN_DIR/gui.cfg" >"$alt/gui.cfg"
start_app
grep -qx "gui.cfg: screenWidth = abc cannot be used; 640 is used instead" "$SHOT_DIR/app.log" \
    && pass "the unusable width is named with the width used" || fail "no line about the width: $(cat "$SHOT_DIR/app.log")"
eval "$(xdotool getwindowgeometry --shell "$WID")"
[ "$WIDTH" = 640 ] && [ "$HEIGHT" = 600 ] && pass "the window is 640 x 600" || fail "the window is $WIDTH x $HEIGHT"
xdotool mousemove --window "$WID" 600 60 key Escape
app_status
[ "$STATUS" = 1 ] && pass "Esc ends it as always" || fail "exit status with a width of abc: $STATUS"
rm -rf "$alt"

# The X server goes away while the program waits: one line, status 2 at
# once, no abort.
RUN_DIR=$ORIGINAL_RUN_DIR
start_app
stop_process "$XVFB_PID"
XVFB_PID=""
app_wait 10
[ "$APP_STATUS" = 2 ] && pass "a lost display ends the program with status 2 within a second" \
    || fail "status after the display went: $APP_STATUS"
[ "$(cat "$SHOT_DIR/app.log")" = "the connection to the display was lost" ] \
    && pass "and says so in one line" || fail "stderr after the display went: $(cat "$SHOT_DIR/app.log")"
finish
