#!/bin/sh
# The model parameters window (patch size from the list, a typed threshold,
# Esc building all the same) and the information window behind the title.
. "$(dirname "$0")/e2e_lib.sh"
start_x
start_app
shot start

# Column x = 48 of the model is a patch border (green from top to bottom)
# only when the patch size divides 48: with 16, not with the default 32.
border_green() { count_colour "$1" 58 10 1 257 "0 180 0"; }

load_map maps/hills-257-8.raw
press_model
shot model32
g32=$(border_green model32)

choose_file maps/hills-257-8.raw
press 314 262                      # open the patch-size list
import -window "$WID" "$SHOT_DIR/list.png"
# "16": a double click chooses an entry of the list.
dclick 240 283
press 274 218                      # the threshold box
send_keys End BackSpace BackSpace BackSpace
type_text "40"
shot typed
press 453 311                      # "Koosta mudel"
wait_message_changes
press_model
shot model16
g16=$(border_green model16)
[ "$g16" -ge 250 ] && pass "patch size 16 chosen in the list: x = 48 is a patch border ($g16 px)" \
    || fail "patch size 16: only $g16 green pixels on x = 48"
[ "$g32" -lt 250 ] && pass "with the default 32, x = 48 is no border ($g32 px)" \
    || fail "default build: $g32 green pixels on x = 48"
expect_message model16 40 140 "\"Fail laetud.\" after the build with typed values"

# Esc closes the parameters window and builds just the same.
press_clear
choose_file maps/hills-513-8.raw
send_keys Escape
wait_message_changes
shot escaped
expect_message escaped 40 140 "Esc in the parameters window builds the model"
n=$(count_colour escaped 10 10 513 513 "0 0 0")
[ "$n" -lt 100000 ] && pass "the map is shown after Esc" || fail "no map after Esc ($n black pixels)"

# The information window: the title banner opens it, "Sulge aken" closes it.
press 617 25
shot information
d=$(differs escaped information 200 150 350 200)
[ "$d" -gt 20000 ] && pass "the title opens the information window" || fail "no information window ($d pixels changed)"
press 379 318
shot closed
d=$(differs escaped closed 10 10 513 513)
[ "$d" -eq 0 ] && pass "\"Sulge aken\" closes it and the picture is back" || fail "$d pixels differ after closing"
press 617 25
key Escape
shot closed2
d=$(differs escaped closed2 10 10 513 513)
[ "$d" -eq 0 ] && pass "Esc closes the information window" || fail "$d pixels differ after Esc"

# A press inside the file selector (over the map) picks no route point, and
# Cancel changes nothing.
press_search
shot prompt
press_load
press 300 300 1                    # the selector's file list, over the map
press 539 435                      # Cancel
shot cancelled
d=$(( $(differs prompt cancelled 10 10 513 513) + $(differs prompt cancelled 10 540 780 50) ))
[ "$d" -eq 0 ] && pass "a press in the file selector picks nothing; Cancel changes nothing" \
    || fail "$d pixels differ after the file selector was cancelled"
press 60 60 1
shot picked
d=$(differs prompt picked 10 540 780 50)
[ "$d" -gt 0 ] && pass "the pick still waits for its start point" || fail "the left press after Cancel did nothing"

key Escape
app_status
[ "$STATUS" = 1 ] && pass "Esc ends the program with status 1" || fail "exit status after Esc: $STATUS"
finish
