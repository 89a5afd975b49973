#!/bin/sh
# Every screen update method in a real window: the gallery reports which
# method runs (page-based ones fall back where the window has no video
# pages) and the picture on screen is complete with each of them.
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
# Keep the pointer away from the widgets.
xdotool mousemove 1000 750

pixel() { /usr/bin/convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | tail -n 1 | sed 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/'; }
near() {  # near "R G B" R G B: each channel within 8
    set -- $1 "$2" "$3" "$4"
    [ $(( ($1 - $4) * ($1 - $4) <= 64 && ($2 - $5) * ($2 - $5) <= 64 && ($3 - $6) * ($3 - $6) <= 64 )) -eq 1 ]
}

FAILS=0
check() {  # check METHOD EXPECTED-NAME
    LOG="$WORK/events-$1.log"
    VASKUR_GALLERY_METHOD=$1 VASKUR_GALLERY_LOG="$LOG" VASKUR_GALLERY_SECONDS=20 "$GALLERY" >"$WORK/out-$1.txt" 2>&1 &
    GPID=$!
    i=0
    until grep -q '^ready' "$LOG" 2>/dev/null; do
        i=$((i + 1))
        if [ $i -gt 100 ]; then
            echo "FAIL: method $1 never got ready"; FAILS=$((FAILS + 1)); stop_gallery; return
        fi
        sleep 0.1
    done
    name=$(sed -n 's/^ready \(.*\) [0-9]*$/\1/p' "$LOG")
    if [ "$name" = "$2" ]; then echo "ok: method $1 runs as \"$name\""; else echo "FAIL: method $1 runs as \"$name\", expected \"$2\""; FAILS=$((FAILS + 1)); fi
    sleep 0.5
    WID=$(xdotool search --name '^vaskur-gallery$' | head -n 1)
    import -window "$WID" "$WORK/shot-$1.png" 2>/dev/null
    red=$(pixel "$WORK/shot-$1.png" 60 50)
    panel=$(pixel "$WORK/shot-$1.png" 300 400)
    if near "$red" 220 60 60 && near "$panel" 200 200 200; then
        echo "ok: method $1 shows the widgets"
    else
        echo "FAIL: method $1 shows red swatch $red, panel $panel"; FAILS=$((FAILS + 1))
    fi
    stop_gallery
}

check 0 "Double Buffering"
check 1 "Double Buffering"
check 2 "Double Buffering"
check 3 "Dirty Rectangle System"
check 7 "default Allegro update driver"

[ $FAILS -eq 0 ] || exit 1
echo "all methods checked"
