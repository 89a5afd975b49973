#!/bin/sh
# Drives the window page of the widget gallery in a real window under Xvfb
# with xdotool: moves a window by its title bar, resizes it by an edge and by
# corners, maximises, restores, rolls it up and down with its icons (and
# checks that a maximised window cannot be moved nor a rolled-up one
# resized), closes a window that has only a close icon, pops up a window and
# ends it by its close icon and by an OK button after moving it, then checks
# what the page reported and a screenshot.
set -u

GALLERY="${VASKUR_GALLERY_BINARY:-$VASKUR_BINARY_DIR/tools/vaskur-gallery/vaskur-gallery}"
[ -x "$GALLERY" ] || { echo "gallery not built: $GALLERY"; exit 1; }

WORK=$(mktemp -d)
LOG="$WORK/events.log"
XPID=""
GPID=""
cleanup() {
    [ -n "$GPID" ] && kill "$GPID" 2>/dev/null
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null
    [ -n "$XPID" ] && wait "$XPID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

# A free display number. Other tests may start their own servers at the same
# moment: start from a number of our own and make sure the server we started
# is the one that answers (it dies at once when the display is taken).
N=$((120 + $$ % 60))
tries=0
while :; do
    tries=$((tries + 1)); [ $tries -gt 40 ] && { echo "no free display"; exit 1; }
    N=$((N + 1)); [ $N -gt 199 ] && N=101
    [ -e "/tmp/.X11-unix/X$N" ] || [ -e "/tmp/.X$N-lock" ] && continue
    Xvfb ":$N" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XPID=$!
    i=0
    until DISPLAY=":$N" xdpyinfo >/dev/null 2>&1; do
        i=$((i + 1))
        kill -0 "$XPID" 2>/dev/null || break
        [ $i -gt 50 ] && break
        sleep 0.1
    done
    sleep 0.2
    if kill -0 "$XPID" 2>/dev/null && DISPLAY=":$N" xdpyinfo >/dev/null 2>&1; then
        break
    fi
    kill "$XPID" 2>/dev/null
    wait "$XPID" 2>/dev/null
    XPID=""
done
export DISPLAY=":$N"

# Allegro's start-up now and then fails on a freshly started server
# ("initializing Allegro", error 1); the gallery is started again then.
WID=""
attempt=0
while [ -z "$WID" ]; do
    attempt=$((attempt + 1))
    rm -f "$LOG"
    VASKUR_GALLERY_PAGE=window VASKUR_GALLERY_LOG="$LOG" VASKUR_GALLERY_SECONDS=90 "$GALLERY" >"$WORK/out.txt" 2>&1 &
    GPID=$!
    i=0
    while [ -z "$WID" ]; do
        WID=$(xdotool search --name '^vaskur-gallery$' 2>/dev/null | head -n 1)
        [ -n "$WID" ] && break
        i=$((i + 1))
        if ! kill -0 "$GPID" 2>/dev/null && grep -q '^error 1 ' "$LOG" 2>/dev/null && [ $attempt -lt 3 ]; then
            echo "the gallery could not start Allegro; again"
            wait "$GPID" 2>/dev/null
            sleep 0.5
            break
        fi
        if [ $i -gt 100 ]; then
            echo "no gallery window on $DISPLAY"
            kill -0 "$GPID" 2>/dev/null && echo "(the gallery still runs)" || echo "(the gallery has ended)"
            cat "$LOG" "$WORK/out.txt" 2>/dev/null
            exit 1
        fi
        sleep 0.1
    done
done
i=0
until grep -q '^ready' "$LOG" 2>/dev/null; do
    i=$((i + 1)); [ $i -gt 100 ] && { echo "the page never got ready"; cat "$LOG"; exit 1; }
    sleep 0.1
done

FAILS=0
fail() { echo "FAIL: $1"; FAILS=$((FAILS + 1)); }
expect() {  # expect PATTERN DESCRIPTION: waits up to 3 s for a log line
    j=0
    until grep -q -- "$1" "$LOG"; do
        j=$((j + 1))
        if [ $j -gt 30 ]; then
            fail "$2 (no line matching '$1')"
            return 1
        fi
        sleep 0.1
    done
    echo "ok: $2"
}
count() { grep -c -- "$1" "$LOG"; }
expect_count() {  # expect_count PATTERN N DESCRIPTION: N lines, and no more come
    j=0
    while [ "$(count "$1")" -lt "$2" ] && [ $j -lt 30 ]; do
        j=$((j + 1)); sleep 0.1
    done
    sleep 0.5
    c=$(count "$1")
    [ "$c" -eq "$2" ] && echo "ok: $3" || fail "$3 ($c lines matching '$1', wanted $2)"
}
move() { xdotool mousemove --window "$WID" "$1" "$2"; sleep 0.15; }
press() { xdotool mousedown 1; sleep 0.08; }
release() { xdotool mouseup 1; sleep 0.08; }
click() { move "$1" "$2"; press; release; }
key() { xdotool key --delay 80 "$@"; sleep 0.1; }

drag() {  # drag X1 Y1 X2 Y2: press at the first point, let go at the second
    move "$1" "$2"
    move "$1" "$2"
    press
    move $(( ($1 * 2 + $3) / 3 )) $(( ($2 * 2 + $4) / 3 ))
    move $(( ($1 + $3 * 2) / 3 )) $(( ($2 + $4 * 2) / 3 ))
    move "$3" "$4"
    release
    sleep 0.2
}

# Settle the pointer over an empty part of the window.
move 300 450
move 310 460

# The window "Aken" starts at 60,60, 320 x 220. Its title bar runs along the
# top below a 4-pixel edge; the right edge is the last 4 columns.
drag 200 72 300 122
expect '^geom win 160 110 320 220 0$' "dragging the title bar moves the window"

drag 478 220 538 230
expect '^geom win 160 110 380 220 0$' "the middle of the right edge changes only the width"

drag 538 328 578 358
expect '^geom win 160 110 420 250 0$' "the bottom-right corner changes both sizes"

drag 161 112 141 102
expect '^geom win 140 100 440 260 0$' "the top-left corner moves the top and left edges"

# Maximise (icon 40 pixels left of the right edge), then try to move it.
click 547 113
expect '^geom win 0 0 800 600 2$' "the maximise icon fills the page"
before=$(count '^geom win')
drag 400 12 450 60
[ "$(count '^geom win')" -eq "$before" ] && echo "ok: a maximised window does not move" || fail "a maximised window moved"

# The same icon, now at the page's right edge, restores it.
click 767 13
expect_count '^geom win 140 100 440 260 0$' 2 "the restore icon brings back the old place and size"

# Roll up with the minimise icon, try to resize by the right edge, unroll.
click 531 113
expect '^geom win 140 100 120 [0-9]* 1$' "the minimise icon rolls the window up to 120 pixels"
before=$(count '^geom win')
drag 258 113 320 113
[ "$(count '^geom win')" -eq "$before" ] && echo "ok: a rolled-up window is not resized" || fail "a rolled-up window changed"
click 211 113
expect_count '^geom win 140 100 440 260 0$' 3 "unrolling restores the size"

# Screenshot: the frame of the focused window and of the other one, the
# client area, and nothing left where the window was before it moved.
sleep 0.3
import -window "$WID" "$WORK/shot.png" 2>/dev/null
[ -n "${VASKUR_KEEP_SHOT:-}" ] && cp "$WORK/shot.png" "$VASKUR_KEEP_SHOT"
pixel() { /usr/bin/convert "$WORK/shot.png" -crop "1x1+$1+$2" +repage -depth 8 txt:- | tail -n 1 | sed 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/'; }
near() {  # near "R G B" R G B: each channel within 8
    set -- $1 "$2" "$3" "$4"
    [ $(( ($1 - $4) * ($1 - $4) <= 64 && ($2 - $5) * ($2 - $5) <= 64 && ($3 - $6) * ($3 - $6) <= 64 )) -eq 1 ]
}
back=$(pixel 5 5)
old=$(pixel 70 70)
[ "$old" = "$back" ] && echo "ok: the old place of the window is painted over" || fail "left at the old place: $old (background $back)"
focused=$(pixel 300 113)
unfocused=$(pixel 640 93)
[ "$focused" != "$unfocused" ] && echo "ok: the focused title bar looks different" || fail "both title bars are $focused"
client=$(pixel 400 300)
[ "$client" != "$back" ] && [ "$client" != "$focused" ] && echo "ok: the client area is painted" || fail "client area is $client"
# The window that cannot be resized shows no minimise or maximise icon.
[ "$(pixel 691 93)" = "$unfocused" ] && [ "$(pixel 707 93)" = "$unfocused" ] && echo "ok: no minimise or maximise icon on a fixed-size window" || fail "icons on the fixed-size window"
[ "$(pixel 725 93)" != "$unfocused" ] && echo "ok: the close icon is there" || fail "no close icon"

# The fixed-size window: focus it, then its close icon.
click 600 92
click 725 93
expect '^closed info$' "the close icon closes a window inside the page"

# A popped-up window, centred: its close icon ends the popup.
click 580 555
expect '^activate opener$' "the opener"
sleep 0.3
click 505 248
expect '^popup returned close$' "the close icon ends the popup"

# Again: moved by its title bar, then ended by its OK button.
click 580 555
sleep 0.3
drag 350 245 380 265
expect '^geom box 310 255 240 130 0$' "a popped-up window moves by its title bar"
click 354 341
expect '^popup returned ok$' "the OK button ends the popup"

# The exit button ends the page.
click 720 555
i=0
while kill -0 "$GPID" 2>/dev/null; do
    i=$((i + 1)); [ $i -gt 50 ] && { fail "the exit button did not end the page"; break; }
    sleep 0.1
done
wait "$GPID" 2>/dev/null
RC=$?
GPID=""
[ "$RC" -eq 0 ] && echo "ok: exit status 0" || fail "exit status $RC"
expect '^final win 140 100 440 260 0$' "the window kept its place and size"
expect '^final end quit$' "the page ended through the exit button"

if [ $FAILS -ne 0 ]; then
    echo "---- events"; cat "$LOG"; echo "---- output"; grep -v ALSA "$WORK/out.txt" | head -40
    exit 1
fi
echo "all window page checks passed"
