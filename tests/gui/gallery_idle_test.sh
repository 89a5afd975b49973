#!/bin/sh
# An idle dialog must not spin: with the setting yield on (the default) the
# gallery, left alone in a real window, uses only a small part of one core.
set -u

GALLERY="$VASKUR_BINARY_DIR/tools/vaskur-gallery/vaskur-gallery"
[ -x "$GALLERY" ] || { echo "gallery not built: $GALLERY"; exit 1; }

. "$VASKUR_SOURCE_DIR/tests/support/xvfb.sh"
xvfb_start || exit 1

start_app "$WORK/out.txt" env VASKUR_GALLERY_LOG="$WORK/events.log" VASKUR_GALLERY_SECONDS=30 \
    VASKUR_INPUT_TRACE="$WORK/input.log" "$GALLERY"
wait_line '^ready' "$WORK/events.log" || { echo "gallery never got ready"; cat "$WORK/out.txt"; exit 1; }
# The loop has taken the pointer's place and put its first frame on the X
# server: from here on it has nothing to do.
wait_line '^shown$' "$WORK/input.log" || { echo "the gallery's loop never ran"; cat "$WORK/out.txt"; exit 1; }

HZ=$(getconf CLK_TCK)
# The measured interval itself.
SECONDS_MEASURED=5
cpu() { awk '{ print $14 + $15 }' "/proc/$APP_PID/stat"; }
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
