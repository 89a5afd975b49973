#!/bin/sh
# Drives the widget gallery in a real window under Xvfb with xdotool: clicks,
# a double click, typing, Tab, a drag and a resize of the panel, a popup and
# Esc, then checks what the gallery reported and a screenshot.
set -u

GALLERY="$VASKUR_BINARY_DIR/tools/vaskur-gallery/vaskur-gallery"
[ -x "$GALLERY" ] || { echo "gallery not built: $GALLERY"; exit 1; }

WORK=$(mktemp -d)
LOG="$WORK/events.log"
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

# A free display number.
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

VASKUR_GALLERY_TRACE=1 VASKUR_GALLERY_LOG="$LOG" VASKUR_GALLERY_SECONDS=60 "$GALLERY" >"$WORK/out.txt" 2>&1 &
GPID=$!

WID=""
i=0
while [ -z "$WID" ]; do
    WID=$(xdotool search --name '^vaskur-gallery$' 2>/dev/null | head -n 1)
    i=$((i + 1)); [ $i -gt 100 ] && { echo "no gallery window"; cat "$WORK/out.txt"; exit 1; }
    sleep 0.1
done
i=0
until grep -q '^ready' "$LOG" 2>/dev/null; do
    i=$((i + 1)); [ $i -gt 100 ] && { echo "gallery never got ready"; cat "$LOG"; exit 1; }
    sleep 0.1
done

FAILS=0
expect() {  # expect PATTERN DESCRIPTION: waits up to 3 s for a log line
    j=0
    until grep -q -- "$1" "$LOG"; do
        j=$((j + 1))
        if [ $j -gt 30 ]; then
            echo "FAIL: $2 (no line matching '$1')"
            FAILS=$((FAILS + 1))
            return 1
        fi
        sleep 0.1
    done
    echo "ok: $2"
}
move() { xdotool mousemove --window "$WID" "$1" "$2"; sleep 0.15; }
press() { xdotool mousedown 1; sleep 0.08; }
release() { xdotool mouseup 1; sleep 0.08; }
click() { move "$1" "$2"; press; release; }

# Allegro's first pointer position after the window appears may be off;
# a first move over the empty backdrop settles it.
move 700 420
move 710 430

# Clicks: green takes the focus from red and is activated.
click 260 70
expect '^focus green$' "a click focuses green"
expect '^activate green$' "a click activates green"
grep -q '^unfocus red$' "$LOG" && echo "ok: red lost the focus" || { echo "FAIL: red kept the focus"; FAILS=$((FAILS + 1)); }

# A grey swatch takes no focus: clicked, but the focus stays on green.
click 580 70
expect '^click grey$' "grey is clicked"
if grep -q '^focus grey$' "$LOG"; then echo "FAIL: grey took the focus"; FAILS=$((FAILS + 1)); fi

# Double click on blue.
move 420 70
press; release; press; release
expect '^dclick blue$' "double click on blue"

# Typing into the text field.
click 100 150
expect '^focus text$' "the text field takes the focus"
xdotool type --delay 80 "abc"
expect '^char text 99 ' "typed characters reach the text field"

# Tab goes on in creation order: after the text field come the panel's swatches.
xdotool key --delay 80 Tab
expect '^focus inner1$' "Tab moves to the next widget created"
xdotool key --delay 80 Right
expect '^focus inner2$' "Right moves to the widget on the right"

# Drag the panel by its title bar from (150,250) to (450,330): +300,+80.
move 150 250
press
move 250 280
move 450 330
release
expect '^move panel 400 320 300 180$' "the panel follows the drag"

# Resize it by its bottom-right corner (at 695,495) by +40,+30.
move 695 495
press
move 715 510
move 735 525
release
expect '^resize panel 400 320 340 210$' "the corner drag resizes the panel"

# The popup: "p" opens it, OK closes it and is what it returns.
move 600 200
xdotool key --delay 80 p
expect '^popup open$' "p opens the popup"
sleep 0.3
# The box is centred: 220x120 at (290,240); OK at (350,290) 100x40.
click 400 310
expect '^popup returned ok$' "the popup returns its OK button"

# Screenshot: the panel's title bar is at its new place, and the old place
# shows the backdrop again.
import -window "$WID" "$WORK/shot.png" 2>/dev/null
pixel() { /usr/bin/convert "$WORK/shot.png" -crop "1x1+$1+$2" +repage -depth 8 txt:- | tail -n 1 | sed 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/'; }
near() {  # near "R G B" R G B: each channel within 8
    set -- $1 "$2" "$3" "$4"
    [ $(( ($1 - $4) * ($1 - $4) <= 64 && ($2 - $5) * ($2 - $5) <= 64 && ($3 - $6) * ($3 - $6) <= 64 )) -eq 1 ]
}
inside=$(pixel 600 470)   # inside the moved panel, below the swatches
if near "$inside" 200 200 200; then echo "ok: panel drawn at its new place"; else echo "FAIL: panel body is $inside"; FAILS=$((FAILS + 1)); fi
old=$(pixel 110 440)      # where the panel was, now backdrop
if near "$old" 40 60 90 || near "$old" 50 70 100; then echo "ok: old panel area repainted"; else echo "FAIL: old panel area is $old"; FAILS=$((FAILS + 1)); fi

# Esc ends the program.
move 600 200
xdotool key --delay 80 Escape
i=0
while kill -0 "$GPID" 2>/dev/null; do
    i=$((i + 1)); [ $i -gt 50 ] && { echo "FAIL: Esc did not end the gallery"; FAILS=$((FAILS + 1)); break; }
    sleep 0.1
done
wait "$GPID" 2>/dev/null
RC=$?
GPID=""
[ "$RC" -eq 0 ] && echo "ok: exit status 0" || { echo "FAIL: exit status $RC"; FAILS=$((FAILS + 1)); }
expect '^text abc$' "the text field kept what was typed"
expect '^end ' "the dialog ended"

if [ $FAILS -ne 0 ]; then
    echo "---- events"; cat "$LOG"; echo "---- output"; cat "$WORK/out.txt"
    exit 1
fi
echo "all gallery checks passed"
