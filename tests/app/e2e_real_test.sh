#!/bin/sh
# A real map in the window: a DEM made with GDAL and imported with
# vaskur-import is drawn as a relief filling the view, with its walls in
# their own colour; a route gets its end markers and the figures of
# vaskur-route for the same points; Ctrl+S saves what vaskur-route writes,
# under new names each time; Ctrl+P opens the profile window.
. "$(dirname "$0")/e2e_lib.sh"
IMPORT="$VASKUR_BINARY_DIR/tools/vaskur-import/vaskur-import"
ROUTE="$VASKUR_BINARY_DIR/tools/vaskur-route/vaskur-route"
NAME=e2e-real-$$
MAP="maps/$NAME.raw"
start_x
trap 'rm -f "$RUN_DIR/maps/$NAME".*  "$RUN_DIR/maps/$NAME"-route-*; xvfb_cleanup' EXIT

# A hill of 300 m on 100 m ground, 20 m cells in UTM, with a no-data corner
# in the south-west.
awk 'BEGIN {
    print "ncols 300"; print "nrows 300"; print "xllcorner 500000"; print "yllcorner 6500000"
    print "cellsize 20"; print "NODATA_value -9999"
    for (r = 0; r < 300; r++) {
        line = ""
        for (c = 0; c < 300; c++) {
            dx = c - 170; dy = r - 140
            h = (c < 30 && r > 270) ? -9999 : 100 + 300 * exp(-(dx * dx + dy * dy) / 3200)
            line = line sprintf("%.2f ", h)
        }
        print line
    } }' > "$WORK/dem.asc"
gdal_translate -q -a_srs EPSG:32635 "$WORK/dem.asc" "$WORK/dem.tif" || fail "gdal_translate"
"$IMPORT" --size 257 "$WORK/dem.tif" "$RUN_DIR/$MAP" > /dev/null || fail "vaskur-import"

start_app
load_map "$MAP"
shot loaded
expect_message loaded 330 560 "the load message gives the size, spacing and heights"
colours=$("$CONVERT" "$SHOT_DIR/loaded.png" -crop 513x513+10+10 +repage -format %k info:)
[ "$colours" -gt 300 ] && pass "the relief is shaded ($colours colours)" || fail "only $colours colours on the map"
black=$(count_colour loaded 10 10 513 513 "0 0 0")
[ "$black" -lt 100 ] && pass "the 257-sample map fills the view" || fail "$black black pixels in the view"
walls=$(count_colour loaded 10 480 60 43 "120 60 170")
[ "$walls" -gt 500 ] && pass "the no-data corner is wall-coloured ($walls px)" || fail "walls: $walls px"

# Samples (40, 40) and (210, 200) stand at twice their place in the view.
press_search
press 90 90 1
press 430 410 3
wait_message_changes
shot found
expect_message found 450 776 "the route's figures and keys in the message"
n=$(count_colour found 80 80 21 21 "0 200 255")
[ "$n" -gt 20 ] && pass "start marker ($n px)" || fail "no start marker ($n px)"
n=$(count_colour found 420 400 21 21 "255 40 40")
[ "$n" -gt 20 ] && pass "end marker ($n px)" || fail "no end marker ($n px)"
n=$(count_colour found 10 10 513 513 "255 255 255")
[ "$n" -gt 200 ] && pass "the route is drawn ($n px)" || fail "route: $n white px"

# Ctrl+S twice: two pairs of files, the same as vaskur-route writes.
saved() { [ -s "$RUN_DIR/maps/$NAME-route-$1.gpx" ] && [ -s "$RUN_DIR/maps/$NAME-route-$1.geojson" ]; }
key ctrl+s
until_true 100 saved 1 || fail "Ctrl+S wrote no $NAME-route-1 files"
shot saved
key ctrl+s
until_true 100 saved 2 || fail "a second Ctrl+S wrote no $NAME-route-2 files"
"$ROUTE" --geojson "$WORK/tool.geojson" --gpx "$WORK/tool.gpx" "$RUN_DIR/$MAP" 40 40 210 200 > "$WORK/tool.txt" \
    || fail "vaskur-route: $(cat "$WORK/tool.txt")"
for n in 1 2; do
    for ext in gpx geojson; do
        f="$RUN_DIR/maps/$NAME-route-$n.$ext"
        if ogrinfo -ro -al -q "$f" > "$WORK/app-$n.$ext.txt" 2>&1 && cmp -s "$f" "$WORK/tool.$ext"; then
            pass "$NAME-route-$n.$ext reads back with OGR, as vaskur-route writes it"
        else
            fail "$NAME-route-$n.$ext: $(head -3 "$WORK/app-$n.$ext.txt"; diff "$f" "$WORK/tool.$ext" | head -5)"
        fi
    done
done
grep -q "climbMetres (Real) = [1-9]" "$WORK/app-1.geojson.txt" && pass "the route climbs" \
    || fail "no climb in the saved route"
expect_message saved 300 700 "the message names the saved files"

# Ctrl+P: the profile window with its chart, closed by Esc.
key ctrl+p
shot profile
n=$(differs found profile 150 110 500 320)
[ "$n" -gt 40000 ] && pass "Ctrl+P opens the profile window" || fail "profile window: $n px changed"
n=$(count_colour profile 150 110 500 320 "170 40 20")
[ "$n" -gt 100 ] && pass "the profile line is drawn ($n px)" || fail "profile line: $n px"
key Escape
shot closed
d=$(differs found closed 10 10 513 513)
[ "$d" -eq 0 ] && pass "Esc closes the profile window" || fail "$d px differ after closing it"

press_exit
app_status
finish
