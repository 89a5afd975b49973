#!/bin/sh
# The shared script-test helpers themselves: colour tolerance, pixel reads,
# log waits and the FAIL count; a private X server that answers, is the one
# started here, and is gone with its work folder when the script ends; and
# programs started again when they end before their window shows.
set -u

KIT="$VASKUR_SOURCE_DIR/tests/support/xvfb.sh"
ERRORS=0
bad() { echo "BAD: $*"; ERRORS=$((ERRORS + 1)); }
good() { echo "good: $*"; }

# ---- pure helpers, in a shell of their own
OUT=$(sh -c '
    . "$0"
    near "200 200 200" 208 192 200 && echo near-inside
    near "200 200 200" 209 200 200 || echo near-outside
    near "10 10 10" 12 12 12 2 && echo near-tolerance
    near "10 10 10" 13 12 12 2 || echo near-tolerance-outside
    near "" 1 2 3 || echo near-empty
    work_dir
    /usr/bin/convert -size 4x3 xc:"rgb(1,2,3)" -fill "rgb(250,128,7)" -draw "point 2 1" "$WORK/p.png"
    echo "pixel-hit $(pixel "$WORK/p.png" 2 1)"
    echo "pixel-miss $(pixel "$WORK/p.png" 0 0)"
    LOG="$WORK/log"
    printf "ready\nscroll 3\nscroll 4\n" > "$LOG"
    expect "^ready$" "ready line" >/dev/null
    expect "^never$" "missing line" >/dev/null
    echo "fails-after-expect $FAILS"
    echo "count $(count "^scroll ")"
    wait_line "^none" "$LOG" 3 || echo wait-times-out
    (echo "WORK=$WORK")
' "$KIT")
for want in near-inside near-outside near-tolerance near-tolerance-outside near-empty \
    "pixel-hit 250 128 7" "pixel-miss 1 2 3" "fails-after-expect 1" "count 2" wait-times-out; do
    echo "$OUT" | grep -qx "$want" && good "$want" || bad "expected '$want' in: $OUT"
done
W=$(echo "$OUT" | sed -n 's/^WORK=//p')
[ -n "$W" ] && [ ! -e "$W" ] && good "the work folder is removed at exit" || bad "work folder '$W' left behind"

# ---- finish exits 1 after a failure
sh -c '. "$0"; fail x >/dev/null; finish done' "$KIT" >/dev/null
[ $? -eq 1 ] && good "finish fails after a FAIL" || bad "finish did not fail"
[ "$(sh -c '. "$0"; finish done' "$KIT")" = "done" ] && good "finish passes without one" || bad "finish failed without a FAIL"

# ---- the server: two at once get displays of their own; both go at exit
INFO="$(mktemp)"
# Each keeps its server until both have reported (10 s at most), so that the
# two run at the same time; each server is stopped before its shell ends.
for k in 1 2; do
    sh -c '
        . "$0"
        xvfb_start || exit 1
        xdpyinfo >/dev/null 2>&1 || exit 2
        echo "$DISPLAY $XVFB_PID $WORK"
        _n=0
        while [ "$(wc -l <"$1")" -lt 2 ] && [ $_n -lt 100 ]; do _n=$((_n + 1)); sleep 0.1; done
    ' "$KIT" "$INFO" >>"$INFO" 2>&1 &
done
wait
if [ "$(wc -l <"$INFO")" -eq 2 ]; then
    good "two servers started"
    set -- $(cat "$INFO")
    [ "$1" != "$4" ] && good "on displays of their own ($1, $4)" || bad "both on $1"
    for pid in "$2" "$5"; do
        kill -0 "$pid" 2>/dev/null && bad "server $pid still runs" || good "server $pid ended"
    done
    for dir in "$3" "$6"; do
        [ -e "$dir" ] && bad "$dir left behind" || good "work folder removed"
    done
else
    bad "servers did not start: $(cat "$INFO")"
fi
rm -f "$INFO"

# ---- a program that fails to start once is started again; one that never
# shows a window is given up after three tries
OUT=$(sh -c '
    . "$0"
    xvfb_start || exit 1
    LOG="$WORK/log"
    start_window_app "$WORK/out" "^kit-window\$" sh -c "echo started >>\"$WORK/tries\"; [ -e \"$WORK/once\" ] || { touch \"$WORK/once\"; exit 1; }; exec xev -name kit-window" >/dev/null \
        && [ -n "$WID" ] && echo "window after $(wc -l <"$WORK/tries") starts"
    stop_app
    start_window_app "$WORK/out" "^kit-window\$" sh -c "echo started >>\"$WORK/never\"; exit 1" >/dev/null \
        || echo "gave up after $(wc -l <"$WORK/never") starts"
' "$KIT" 2>&1)
for want in "window after 2 starts" "gave up after 3 starts"; do
    echo "$OUT" | grep -qx "$want" && good "$want" || bad "expected '$want' in: $OUT"
done

[ $ERRORS -eq 0 ] || { echo "$ERRORS error(s)"; exit 1; }
echo "all kit checks passed"
