#!/bin/sh
# "OTSI" and "KIIROTSING": a left and a right press on the picture pick the
# route's ends; the route is drawn in white and its length reported. Presses
# outside the map are ignored, a finished pick takes no more presses, and
# the same point twice gives the same-vertex message. A display that goes
# away during a search ends the program at once with status 2.
. "$(dirname "$0")/e2e_lib.sh"
start_x
start_app
load_map maps/hills-513-8.raw
shot loaded
white0=$(count_colour loaded 10 10 513 513 "255 255 255")

press_search
shot prompt1
expect_message prompt1 420 620 "OTSI asks for the first point"
press 5 300 1                      # left of the picture: ignored
shot outside
d=$(differs prompt1 outside 10 540 780 50)
[ "$d" -eq 0 ] && pass "a press outside the map is ignored" || fail "a press outside the map changed the message"

press 30 30 1
shot prompt2
expect_message prompt2 420 620 "the left press asks for the second point"
d=$(differs prompt1 prompt2 10 540 780 50)
[ "$d" -gt 0 ] && pass "the second prompt replaced the first" || fail "the message did not change after the left press"

press 500 490 3
wait_message_changes
shot found
expect_message found 150 260 "OTSI reports the route length"
white=$(count_colour found 10 10 513 513 "255 255 255")
[ "$white" -gt $((white0 + 300)) ] && pass "OTSI drew the route in white ($white pixels)" || fail "OTSI: only $white white pixels"
expect_pixel found 200 200 "$(pixel "$SHOT_DIR/loaded.png" 200 200)" "the map stays beneath the route"

press 100 100 1                    # the pick is over: nothing happens
shot after
d=$(differs found after 10 540 780 50)
[ "$d" -eq 0 ] && pass "after the search a left press does nothing" || fail "a left press after the search changed the message"

press_clear
press_quicksearch
press 40 480 1
press 480 40 3
wait_message_changes
shot quick
expect_message quick 150 260 "KIIROTSING reports the route length"
white=$(count_colour quick 10 10 513 513 "255 255 255")
black=$(count_colour quick 10 10 513 513 "0 0 0")
[ "$white" -gt 300 ] && [ "$black" -gt 200000 ] && pass "KIIROTSING drew the route in white on the cleared picture ($white pixels)" \
    || fail "KIIROTSING: $white white, $black black pixels"

press_search
press 200 200 1
press 200 200 3
wait_message_changes
shot same
expect_message same 120 240 "the same point twice: start and end are the same vertex"
d=$(differs quick same 10 10 513 513)
[ "$d" -eq 0 ] && pass "no route drawn for the same vertex" || fail "the picture changed in $d pixels"

press_exit
app_status
[ "$STATUS" = 1 ] && pass "VÄLJU ends the program with status 1" || fail "exit status after VÄLJU: $STATUS"

# The X server goes away in the middle of a long search (patch size 16,
# threshold 0 on the rough map): one line, status 2 at once, no abort.
export VASKUR_TIMING=1
start_app
choose_file maps/rough-513-16.raw
press 314 262                      # the patch-size list
dclick 240 283
press 274 218                      # the threshold box
send_keys End BackSpace BackSpace BackSpace
type_text "0"
press 453 311                      # "Koosta mudel"
wait_line "vaskur-timing build" "$SHOT_DIR/app.log" 600 || fail "the build did not end"
press_search
press 12 12 1
# The right press starts the search, which runs until the server goes:
# nothing is waited for after it but the grey lines.
move 520 520
xdotool click 3
grey_drawn() { shoot "$SHOT_DIR/_now.png" && [ "$(count_colour _now 10 10 513 513 "132 129 132")" -gt 200 ]; }
until_true 300 grey_drawn || fail "the search drew nothing"
stop_process "$XVFB_PID"
XVFB_PID=""
app_wait 10
[ "$APP_STATUS" = 2 ] && pass "a display lost during a search ends the program with status 2 within a second" \
    || fail "status after the display went during the search: $APP_STATUS"
grep -q "vaskur-timing search" "$SHOT_DIR/app.log" && fail "the search had ended before the display went"
[ "$(grep -v vaskur-timing "$SHOT_DIR/app.log")" = "the connection to the display was lost" ] \
    && pass "and says so in one line" || fail "stderr after the display went: $(cat "$SHOT_DIR/app.log")"
finish
