#!/bin/sh
# Command-line behaviour of vaskur-route: usage errors, unreadable maps, the
# report format, points outside the map, routes printed with --path, the
# quick search against the full one, routing on several threads, --help and
# GDAL's common options.
set -u

TOOL="$VASKUR_BINARY_DIR/tools/vaskur-route/vaskur-route"
MAPGEN="$VASKUR_BINARY_DIR/tools/vaskur-mapgen/vaskur-mapgen"
. "$VASKUR_SOURCE_DIR/tests/support/checks.sh"
work_dir

[ -x "$TOOL" ] || { echo "missing $TOOL"; exit 1; }
[ -x "$MAPGEN" ] || { echo "missing $MAPGEN"; exit 1; }

# Flat maps of every accepted kind, and files of wrong sizes.
head -c 66049 /dev/zero > "$WORK/flat-257-8.raw"
head -c 132098 /dev/zero > "$WORK/flat-257-16.raw"
head -c 66050 /dev/zero > "$WORK/long.raw"
head -c 66048 /dev/zero > "$WORK/short.raw"
: > "$WORK/empty.raw"
"$MAPGEN" --side 257 --bits 16 --seed 11 "$WORK/hills.raw" || fail "mapgen hills"
"$MAPGEN" --side 257 --bits 8 --base 0 --seed 12 "$WORK/same-8.raw" || fail "mapgen same-8"
"$MAPGEN" --side 257 --bits 16 --base 0 --seed 12 "$WORK/same-16.raw" || fail "mapgen same-16"

# run ARGS...: runs the tool, leaving stdout, stderr and the status in files.
run() {
    "$TOOL" "$@" > "$WORK/out" 2> "$WORK/err"
    echo $? > "$WORK/status"
}
status() { cat "$WORK/status"; }

# --- usage errors: status 2, one line on stderr, nothing on stdout ----------
usage_case() {
    run "$@"
    if [ "$(status)" != 2 ]; then fail "usage: '$*' exited $(status)"; return; fi
    [ -s "$WORK/out" ] && fail "usage: '$*' wrote to stdout"
    [ "$(wc -l < "$WORK/err")" -eq 1 ] || fail "usage: '$*' stderr is not one line: $(cat "$WORK/err")"
}
M="$WORK/flat-257-8.raw"
usage_case
usage_case --patch 48 "$M"
usage_case --patch 512 "$M"
usage_case --patch 8 "$M"
usage_case --patch abc "$M"
usage_case --patch
usage_case --patch "" "$M"
usage_case --threshold 1.5 "$M"
usage_case --threshold x "$M"
usage_case --threshold 99999999999 "$M"
usage_case --threshold +-7 "$M"
usage_case --threshold
usage_case --bogus "$M"
usage_case --quick=1 "$M"
usage_case "$M" 1 2 3
usage_case "$M" 1 2 3 4 5
usage_case "$M" 1 2 3 x
usage_case "$M" 1 2 3 4.5
usage_case "$M" 1 2 3 +-7
usage_case --lonlat "$M" -200 95 1 1
usage_case --lonlat --crs "$M" 1 2 3 4
usage_case --gpx "$WORK/r.gpx" "$M"
usage_case --points "$WORK/p.csv" "$M" 1 2 3 4
usage_case --config GDAL_CACHEMAX
usage_case --jobs 0 "$M"
usage_case --jobs x "$M"
# A usage error wins even when the map would not load.
usage_case --patch 7 "$WORK/missing.raw"

# --- maps that can't be read: status 1 and one line naming file and reason ---
for bad in "missing.raw:no such file" "long.raw:66050 bytes is not a 257- or 513-sample map of 1 or 2 bytes" \
    "short.raw:66048 bytes is not" "empty.raw:0 bytes is not" ":it is a directory"; do
    file="$WORK/${bad%%:*}"
    run "$file" 0 0 1 1
    [ "$(status)" = 1 ] || fail "bad map $file exited $(status)"
    [ "$(cat "$WORK/err")" = "vaskur-route: cannot read $file: ${bad#*:}" ] \
        || grep -qx "vaskur-route: cannot read $file: ${bad#*:}.*" "$WORK/err" \
        || fail "bad map $file message: $(cat "$WORK/err")"
    [ -s "$WORK/out" ] && fail "bad map $bad wrote to stdout"
done

# --- report format on a flat one-patch map -----------------------------------
# One 256 patch on flat ground is never split: 2 roots and 4 leaves, 4 corners,
# 2 centre vertices and one inner vertex per leaf. Every segment is passable.
# Edges: 6 triangles x 6 corner edges, 4 leaves x 6 inner-to-corner edges,
# 4 leaves x 2 sibling edges, 4 leaves x 1 edge into the diamond partner's
# child, 4 leaves x 2 leaf neighbours x 2 directions.
run --patch 256 "$M"
[ "$(status)" = 0 ] || fail "flat map exited $(status)"
expected_edges=$((6 * 6 + 4 * 6 + 4 * 2 + 4 * 1 + 4 * 2 * 2))
printf 'map 257 8\ntriangles 6\nvertices 10\nedges %d\n' "$expected_edges" > "$WORK/expected"
cmp -s "$WORK/out" "$WORK/expected" || { fail "flat header:"; diff "$WORK/expected" "$WORK/out"; }
[ -s "$WORK/err" ] && fail "flat map wrote to stderr without --time: $(cat "$WORK/err")"

# The 16-bit flat map gives the same model.
run --patch 256 "$WORK/flat-257-16.raw"
sed 's/^map 257 8$/map 257 16/' "$WORK/expected" > "$WORK/expected16"
cmp -s "$WORK/out" "$WORK/expected16" || fail "flat 16-bit header differs"

# The same heights in an 8-bit and a 16-bit file give the same model and routes.
run --path "$WORK/same-8.raw" 3 4 250 200 100 30 30 100
sed 1d "$WORK/out" > "$WORK/same8"
grep -q '^map 257 8$' "$WORK/out" || fail "same-8 map line"
run --path "$WORK/same-16.raw" 3 4 250 200 100 30 30 100
sed 1d "$WORK/out" > "$WORK/same16"
grep -q '^map 257 16$' "$WORK/out" || fail "same-16 map line"
cmp -s "$WORK/same8" "$WORK/same16" || fail "8-bit and 16-bit copies of one terrain differ"

# --- route lines --------------------------------------------------------------
# check_routes FILE: every route line is well formed; its path (if printed)
# runs from its start vertex to its end vertex with as many points as it says.
check_routes() {
    awk -v quick="${2:-0}" '
        function bad(msg) { print "bad output line " NR ": " msg ": " $0; errors++ }
        $1 == "route" {
            if (pending) bad("route without its path line")
            pending = 0
            if ($6 == "outside") { if (NF != 6) bad("outside line"); next }
            if (NF != 15 || $6 != "from" || $9 != "to" || $12 != "length" || $14 != "vertices") { bad("format"); next }
            len = $13 + 0; k = $15 + 0
            if (len > 0 && k < 2) bad("route with fewer than two vertices")
            if (len <= 0 && k != 0) bad("no route but vertices")
            if (len == 0 && ($7 != $10 || $8 != $11)) bad("length 0 between distinct points")
            if (len < 0 && len != -1) bad("negative length other than -1")
            sx = $7; sy = $8; tx = $10; ty = $11; kk = k
            pending = (len > 0 && withpath)
            next
        }
        $1 == "path" {
            if (!pending) { bad("unexpected path"); next }
            pending = 0
            if (NF != 1 + 2 * kk) bad("path has " (NF - 1) / 2 " points, route says " kk)
            if ($2 != sx || $3 != sy) bad("path does not start at the start vertex")
            if ($(NF - 1) != tx || $NF != ty) bad("path does not end at the end vertex")
            next
        }
        END { if (pending) bad("missing final path"); exit errors ? 1 : 0 }
    ' withpath="$3" "$1"
}

# Flat ground: the length of a route is the sum of the walking costs of its
# segments (axis-aligned: steps + 1; oblique: (steps + 1) * sqrt 2, each
# truncated), so recompute it from the path.
run --path --patch 64 "$M" 0 0 256 256 10 200 200 10 128 128 128 128 255 1 3 250
[ "$(status)" = 0 ] || fail "flat routes exited $(status)"
check_routes "$WORK/out" 0 1 || fail "flat route lines"
awk '
    $1 == "route" { len = $13 + 0 }
    $1 == "path" {
        sum = 0
        for (i = 2; i + 3 <= NF; i += 2) {
            dx = $(i + 2) - $i; dy = $(i + 3) - $(i + 1)
            if (dx < 0) dx = -dx
            if (dy < 0) dy = -dy
            n = dx > dy ? dx : dy
            if (n == 0) { print "repeated point in path"; bad = 1 }
            if (dx == 0 || dy == 0) c = n + 1
            else c = int((n + 1) * sqrt(2))
            sum += c
        }
        if (sum != len) { print "path costs " sum ", route says " len; bad = 1 }
    }
    END { exit bad }
' "$WORK/out" || fail "flat route lengths do not match their paths"
grep -q '^route 128 128 128 128 from \([0-9]*\) \([0-9]*\) to \1 \2 length 0 vertices 0$' "$WORK/out" \
    || fail "a point to itself is not a route of length 0"
[ "$(grep -c "^route .* length [1-9]" "$WORK/out")" -eq 3 ] || fail "flat map: not every distinct pair has a route"

# A wall down column 128 (height 90 among 65s) cuts the map in two: no
# route across it, in either search, and no path line for it.
row=$(head -c 128 /dev/zero | tr '\0' 'A')Z$(head -c 128 /dev/zero | tr '\0' 'A')
i=0
while [ $i -lt 257 ]; do printf '%s' "$row"; i=$((i + 1)); done > "$WORK/wall.raw"
[ "$(wc -c < "$WORK/wall.raw")" -eq 66049 ] || fail "wall map has the wrong size"
for mode in "" --quick; do
    run $mode --path --patch 32 "$WORK/wall.raw" 10 10 200 10 10 10 100 200
    [ "$(status)" = 3 ] || fail "a route across the wall $mode exited $(status)"
    grep -qx 'vaskur-route: no route from 10 10 to 200 10' "$WORK/err" || fail "no-route line $mode: $(cat "$WORK/err")"
    check_routes "$WORK/out" 0 1 || fail "wall routes $mode"
    grep -q '^route 10 10 200 10 from [0-9]* [0-9]* to [0-9]* [0-9]* length -1 vertices 0$' "$WORK/out" \
        || fail "a route across the wall $mode: $(grep '^route 10 10 200' "$WORK/out")"
    grep -q '^route 10 10 100 200 from .* length [1-9][0-9]* vertices [1-9]' "$WORK/out" \
        || fail "no route on one side of the wall $mode"
    [ "$(grep -c '^path' "$WORK/out")" -eq 1 ] || fail "path lines on the wall map $mode"
done

# Points outside the map; the last column and row are inside.
run "$WORK/hills.raw" -1 0 10 10 10 10 0 -1 257 0 0 0 0 0 0 257 256 256 0 0 0 0 256 256 2147483647 0 0 0
[ "$(status)" = 3 ] || fail "outside points exited $(status)"
grep -qx 'vaskur-route: no route from 10 10 to 0 -1: 0 -1 lies outside the map' "$WORK/err" \
    || fail "the outside point is not named: $(cat "$WORK/err")"
check_routes "$WORK/out" 0 0 || fail "outside route lines"
[ "$(grep -c ' outside$' "$WORK/out")" -eq 5 ] || fail "expected 5 outside lines: $(grep route "$WORK/out")"
grep -q '^route -1 0 10 10 outside$' "$WORK/out" || fail "negative x not outside"
grep -q '^route 0 0 0 257 outside$' "$WORK/out" || fail "y = rows not outside"
grep -q '^route 256 256 0 0 from ' "$WORK/out" || fail "last sample of the map refused"
grep -q '^route 0 0 256 256 from ' "$WORK/out" || fail "last sample of the map refused as end"

# Quick against full search on a hilly map, several patch sizes: the same
# start and end vertices, a route found by both or by neither, and the quick
# one never shorter.
POINTS="0 0 256 256 256 0 0 256 17 33 200 150 128 5 128 250 40 220 230 40 90 90 91 91"
for patch in 16 64 256; do
    run --path --patch "$patch" --threshold 3 "$WORK/hills.raw" $POINTS
    check_routes "$WORK/out" 0 1 || fail "full routes, patch $patch"
    grep '^route' "$WORK/out" > "$WORK/full"
    head -4 "$WORK/out" > "$WORK/full-header"
    run --quick --path --patch "$patch" --threshold 3 "$WORK/hills.raw" $POINTS
    check_routes "$WORK/out" 1 1 || fail "quick routes, patch $patch"
    grep '^route' "$WORK/out" > "$WORK/quick"
    head -4 "$WORK/out" | cmp -s - "$WORK/full-header" || fail "--quick changed the model, patch $patch"
    paste -d ' ' "$WORK/full" "$WORK/quick" | awk '
        {
            if ($7 != $22 || $8 != $23 || $10 != $25 || $11 != $26) { print "different vertices: " $0; bad = 1 }
            full = $13 + 0; quick = $28 + 0
            if ((full > 0) != (quick > 0)) { print "route found by one search only: " $0; bad = 1 }
            if (full > 0 && quick < full) { print "quick route shorter than full: " $0; bad = 1 }
        }
        END { exit bad }
    ' || fail "quick against full, patch $patch"
    grep -q 'length [1-9]' "$WORK/full" || fail "no route at all on the hilly map, patch $patch"
done

# Routes on several threads: the same output, line for line, as on one, with
# points outside the map and the same vertex twice among them; and the same
# exported routes (files are written only when every leg has a route).
for mode in "" --quick; do
    run $mode --path --patch 16 --threshold 3 --jobs 1 "$WORK/hills.raw" $POINTS -1 0 5 5 3 3 3 3
    cp "$WORK/out" "$WORK/one-thread"
    run $mode --path --patch 16 --threshold 3 --jobs 3 "$WORK/hills.raw" $POINTS -1 0 5 5 3 3 3 3
    cmp -s "$WORK/out" "$WORK/one-thread" || fail "--jobs 3 $mode differs from --jobs 1"
    run $mode --path --patch 16 --threshold 3 "$WORK/hills.raw" $POINTS -1 0 5 5 3 3 3 3
    cmp -s "$WORK/out" "$WORK/one-thread" || fail "the default --jobs $mode differs from --jobs 1"
    run $mode --patch 16 --threshold 3 --jobs 1 --geojson "$WORK/one.geojson" "$WORK/hills.raw" $POINTS 3 3 3 3
    run $mode --patch 16 --threshold 3 --jobs 3 --geojson "$WORK/three.geojson" "$WORK/hills.raw" $POINTS 3 3 3 3
    grep -q '"length"' "$WORK/one.geojson" || fail "no route exported $mode"
    cmp -s "$WORK/three.geojson" "$WORK/one.geojson" || fail "--jobs 3 $mode exports other routes than --jobs 1"
done

# A negative threshold acts as 5; --name=value works like two arguments.
run --threshold 5 --patch 32 "$WORK/hills.raw" 3 3 200 200
cp "$WORK/out" "$WORK/t5"
run --threshold -7 --patch 32 "$WORK/hills.raw" 3 3 200 200
cmp -s "$WORK/out" "$WORK/t5" || fail "--threshold -7 differs from 5"
run --threshold=-1 --patch=32 "$WORK/hills.raw" 3 3 200 200
cmp -s "$WORK/out" "$WORK/t5" || fail "--threshold=-1 --patch=32 differs"
run --threshold 0 --patch 32 "$WORK/hills.raw" 3 3 200 200
t0=$(awk '$1 == "triangles" { print $2 }' "$WORK/out")
t5=$(awk '$1 == "triangles" { print $2 }' "$WORK/t5")
[ "$t0" -gt "$t5" ] || fail "threshold 0 ($t0 triangles) is not finer than 5 ($t5)"

# --time only adds to stderr.
run --time --threshold 5 --patch 32 "$WORK/hills.raw" 3 3 200 200
cmp -s "$WORK/out" "$WORK/t5" || fail "--time changed stdout"
[ -s "$WORK/err" ] || fail "--time printed nothing"

# GDAL's common options are taken and change nothing here.
run --config GDAL_CACHEMAX 64 --debug off --threshold 5 --patch 32 "$WORK/hills.raw" 3 3 200 200
cmp -s "$WORK/out" "$WORK/t5" || fail "--config and --debug changed the output"

check_help "$TOOL"

# Defaults are patch 32 and threshold 25.
run "$WORK/hills.raw" 3 3 200 200
cp "$WORK/out" "$WORK/defaults"
run --patch 32 --threshold 25 "$WORK/hills.raw" 3 3 200 200
cmp -s "$WORK/out" "$WORK/defaults" || fail "defaults are not patch 32, threshold 25"

finish "all vaskur-route checks passed"
