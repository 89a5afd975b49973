#!/bin/sh
# An idle dialog must not spin: with the setting yield on (the default) the
# gallery, left alone in a real window, uses only a small part of one core.
set -u

GALLERY="$VASKUR_BINARY_DIR/tools/vaskur-gallery/vaskur-gallery"
[ -x "$GALLERY" ] || { echo "gallery not built: $GALLERY"; exit 1; }
WORK=$(mktemp -d)
XPID=""
GPID=""
# The gallery must be gone before its X server goes: Allegro's shutdown
# talks to the server.
stop_gallery() {
    [ -n "$GPID" ] || return 0
    kill "$GPID" 2>/dev/null
    k=0
    while kill -0 "$GPID" 2>/dev/null && [ $k -lt 50 ]; do sleep 0.1; k=$((k + 1)); done
    kill -9 "$GPID" 2>/dev/null
    wait "$GPID" 2>/dev/null
    GPID=""
}
cleanup() {
    stop_gallery
    if [ -n "$XPID" ]; then
        kill "$XPID" 2>/dev/null
        wait "$XPID" 2>/dev/null
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP PIPE

N=91
while [ -e "/tmp/.X11-unix/X$N" ] || [ -e "/tmp/.X$N-lock" ]; do
    N=$((N + 1))
    [ $N -gt 140 ] && { echo "no free display"; exit 1; }
done
Xvfb ":$N" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XPID=$!
export DISPLAY=":$N"
i=0
until xdpyinfo >/dev/null 2>&1; do
    i=$((i + 1)); [ $i -gt 50 ] && { echo "Xvfb did not start"; exit 1; }
    sleep 0.1
done

VASKUR_GALLERY_LOG="$WORK/events.log" VASKUR_GALLERY_SECONDS=30 "$GALLERY" >"$WORK/out.txt" 2>&1 &
GPID=$!
i=0
until grep -q '^ready' "$WORK/events.log" 2>/dev/null; do
    i=$((i + 1)); [ $i -gt 100 ] && { echo "gallery never got ready"; cat "$WORK/out.txt"; exit 1; }
    sleep 0.1
done
sleep 1

HZ=$(getconf CLK_TCK)
SECONDS_MEASURED=5
cpu() { awk '{ print $14 + $15 }' "/proc/$GPID/stat"; }
a=$(cpu)
sleep $SECONDS_MEASURED
b=$(cpu)
used=$((b - a))
percent=$((used * 100 / (SECONDS_MEASURED * HZ)))
echo "idle gallery: $used clock ticks in $SECONDS_MEASURED s = $percent% of one core"
# A loop that spins takes (nearly) a whole core; sleeping between ticks
# takes a few per cent, more under sanitizers.
if [ "$percent" -ge 20 ]; then
    echo "FAIL: the idle main loop uses $percent% of a core"
    exit 1
fi
echo "ok"
