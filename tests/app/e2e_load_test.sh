#!/bin/sh
# "LOE KAART": taps open the file selector as held presses do; a sample
# map chosen in the file selector and built with the parameters window's
# defaults is drawn at (10, 10) in the sample colours; the overlays "MUDEL", "GRAAFI TIPUD" and "GRAAF" follow; a file of a wrong
# size gives the load error and keeps the picture; "VÄLJU" ends with 1.
. "$(dirname "$0")/e2e_lib.sh"
MAP=maps/hills-513-8.raw
start_x
start_app
shot before

# Taps (press and release with no time between them, as a touchpad sends
# them) on LOE KAART open the file selector every time; Esc closes it.
opened=0
for _ in $(seq 1 20); do
    xdotool mousemove --window "$WID" 665 155 click 1
    until_true 30 shows 300 300 "231 230 239" || break
    opened=$((opened + 1))
    xdotool key Escape
    until_true 30 shows 300 300 "0 0 0" || break
done
[ "$opened" -eq 20 ] && pass "20 of 20 taps open the file selector" || fail "$opened of 20 taps opened the file selector"

load_map "$MAP"
shot loaded
expect_message loaded 40 140 "\"Fail laetud.\" after the build"
# Counters now hold several digits each.
n=$(differs before loaded 700 80 80 60)
[ "$n" -gt 30 ] && pass "counters show the list lengths" || fail "counters unchanged after the load"

# The picture: green = the 8-bit sample, map (x, y) at screen (x + 10, y + 10);
# the file stores its rows bottom-up.
for xy in "0 0" "100 37" "256 256" "511 400" "512 512"; do
    set -- $xy
    sample=$(od -An -tu1 -j $(( (512 - $2) * 513 + $1 )) -N 1 "$RUN_DIR/$MAP" | tr -d ' ')
    expect_pixel loaded $(($1 + 10)) $(($2 + 10)) "0 $sample 0" "map sample ($1, $2) = $sample drawn at ($(($1 + 10)), $(($2 + 10)))"
done
expect_pixel loaded 9 9 "190 198 208" "background left of the picture"

press_model
shot model
black=$(count_colour model 10 10 513 513 "0 0 0")
green=$(count_colour model 10 10 513 513 "0 180 0")
[ "$black" -gt 150000 ] && [ "$green" -gt 5000 ] && pass "MUDEL: green triangle edges on black ($green edge pixels)" \
    || fail "MUDEL: $black black, $green green pixels"
expect_pixel model 10 10 "0 180 0" "MUDEL: the map's corner lies on a triangle edge"

press_vertices
shot vertices
white=$(count_colour vertices 10 10 513 513 "255 255 255")
[ "$white" -gt 500 ] && pass "GRAAFI TIPUD: $white white vertex dots" || fail "GRAAFI TIPUD: $white white pixels"
green2=$(count_colour vertices 10 10 513 513 "0 180 0")
[ "$green2" -gt $((green / 2)) ] && pass "GRAAFI TIPUD keeps the model beneath" || fail "model gone under the vertices ($green2)"

press_graph
shot graph
yellow=$(count_colour graph 10 10 513 513 "255 255 0")
[ "$yellow" -gt 20000 ] && pass "GRAAF: $yellow yellow edge pixels" || fail "GRAAF: $yellow yellow pixels"

press_heightmap
shot heightmap
d=$(differs loaded heightmap 10 10 513 513)
[ "$d" -eq 0 ] && pass "KÕRGUSKAART shows the height map alone again" || fail "KÕRGUSKAART differs from the loaded picture in $d pixels"

# A file of a wrong size: the error, the picture stays.
printf 'this is no height map' >"$RUN_DIR/maps/e2e-wrong-size.raw"
choose_file maps/e2e-wrong-size.raw
shot wrongsize
rm -f "$RUN_DIR/maps/e2e-wrong-size.raw"
expect_message wrongsize 330 560 "load error message for a file of a wrong size"
d=$(differs heightmap wrongsize 10 10 513 513)
[ "$d" -eq 0 ] && pass "the picture stays after the load error" || fail "the picture changed in $d pixels"
d=$(differs heightmap wrongsize 700 80 80 60)
[ "$d" -eq 0 ] && pass "the counters stay after the load error" || fail "the counters changed"

press_clear
shot cleared
expect_pixel cleared 300 300 "0 0 0" "TÜHJENDA blanks the picture"
d=$(differs heightmap cleared 700 80 80 60)
[ "$d" -eq 0 ] && pass "TÜHJENDA keeps the counters" || fail "TÜHJENDA changed the counters"

press_exit
app_status
[ "$STATUS" = 1 ] && pass "VÄLJU ends the program with status 1" || fail "exit status after VÄLJU: $status"
finish
