#!/bin/sh
# vaskur-mapgen on the command line: the four accepted raw kinds with their
# file sizes, repeatable output, usage errors, and the sample maps the build
# puts into the run folder.
set -u

MAPGEN="$VASKUR_BINARY_DIR/tools/vaskur-mapgen/vaskur-mapgen"
. "$VASKUR_SOURCE_DIR/tests/support/checks.sh"
work_dir
size() { wc -c < "$1" | tr -d ' '; }

# Accepted kinds and the file sizes the height map loader expects.
for kind in "257 8 66049" "257 16 132098" "513 8 263169" "513 16 526338"; do
    set -- $kind
    out="$WORK/m-$1-$2.raw"
    "$MAPGEN" --side "$1" --bits "$2" --seed 3 "$out" || fail "side $1 bits $2 exited $?"
    [ "$(size "$out")" = "$3" ] || fail "side $1 bits $2: $(size "$out") bytes, expected $3"
done

# The same arguments give the same bytes; another seed gives others.
"$MAPGEN" --side 257 --bits 16 --seed 3 "$WORK/again.raw"
cmp -s "$WORK/again.raw" "$WORK/m-257-16.raw" || fail "same seed, different map"
"$MAPGEN" --side 257 --bits 16 --seed 4 "$WORK/other.raw"
cmp -s "$WORK/other.raw" "$WORK/m-257-16.raw" && fail "different seeds, same map"

# --stats reports the share of gentle steps.
line=$("$MAPGEN" --side 257 --bits 8 --seed 3 --stats "$WORK/s.raw")
echo "$line" | grep -q 'gentle steps' || fail "--stats printed: $line"

for args in "" "--side 300 $WORK/x.raw" "--bits 12 $WORK/x.raw" "--seed -1 $WORK/x.raw" \
    "--steep 200 $WORK/x.raw" "--bogus $WORK/x.raw" "$WORK/x.raw $WORK/y.raw" "--side"; do
    # shellcheck disable=SC2086
    "$MAPGEN" $args > "$WORK/out" 2> "$WORK/err"
    st=$?
    [ "$st" = 2 ] || fail "'$args' exited $st"
    [ -s "$WORK/err" ] || fail "'$args' printed no usage"
done
[ -e "$WORK/x.raw" ] && fail "a refused command wrote a file"
"$MAPGEN" --side 257 "$WORK/no-such-dir/x.raw" 2> /dev/null
[ $? = 1 ] || fail "unwritable output did not exit 1"

check_help "$MAPGEN"

# The sample maps of the run folder.
for m in hills-257-8:66049 hills-257-16:132098 hills-513-8:263169 hills-513-16:526338 crags-513-16:526338 rough-513-16:526338; do
    name=${m%%:*}
    bytes=${m#*:}
    f="$VASKUR_RUN_DIR/maps/$name.raw"
    if [ ! -f "$f" ]; then fail "missing sample map $f"; continue; fi
    [ "$(size "$f")" = "$bytes" ] || fail "$name has $(size "$f") bytes"
done

finish "all vaskur-mapgen checks passed"
