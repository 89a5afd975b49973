#!/bin/sh
# Drives the buttons page of the widget gallery in a real window under Xvfb
# with xdotool: clicks, a press let go outside, a shortcut key, a toggle, an
# auto-repeat button held down, a hyperlink, a check box, typing and
# selecting in two edit boxes (one of them full), then checks what the page
# reported and a screenshot.
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
    VASKUR_GALLERY_PAGE=buttons VASKUR_GALLERY_LOG="$LOG" VASKUR_GALLERY_SECONDS=90 "$GALLERY" >"$WORK/out.txt" 2>&1 &
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

# Settle the pointer over an empty part of the window.
move 300 450
move 310 460

# A plain click activates the button once.
click 115 75
expect '^activate plain$' "a click activates the plain button"

# Pressed, then let go outside: no activation.
move 115 75
press
move 300 460
release
expect_count '^activate plain$' 1 "a press let go outside does not activate"

# Its shortcut key: held for a moment, then one activation.
key t
expect_count '^activate plain$' 2 "the shortcut key activates it exactly once"

# The toggle stays down, then comes up.
click 115 115
expect '^activate toggle 1$' "the toggle goes down"
click 115 115
expect '^activate toggle 0$' "the toggle comes up"
click 115 115

# The auto-repeat button held down for about 0.7 s (35 ticks at 50 a second:
# about 12 activations, one every 3 ticks).
move 115 155
press
sleep 0.7
release
sleep 0.3
n1=$(count '^activate repeat$')
if [ "$n1" -ge 6 ] && [ "$n1" -le 20 ]; then echo "ok: auto-repeat fired $n1 times while held"; else fail "auto-repeat fired $n1 times"; fi
sleep 0.5
n2=$(count '^activate repeat$')
[ "$n2" -eq "$n1" ] && echo "ok: no more repeats after the release" || fail "repeats went on after the release ($n1 -> $n2)"

# The halving button works on the number label; the disabled one does nothing.
click 115 195
expect '^activate halve$' "the halving button"
click 115 235
expect_count '^activate disabled' 0 "a disabled button is not activated"

# Hyperlink and check box.
click 70 273
expect '^activate link$' "the hyperlink"
click 46 306
expect '^activate check 1$' "the check box is ticked"

# Typing into the long edit box, then Enter.
click 595 72
xdotool type --delay 60 "Tere maailm"
sleep 0.2
key Return
expect '^edit edit Tere maailm$' "typed text and Enter"

# Shift+Home selects to the start; typing replaces the selection.
key End shift+Home
xdotool type --delay 60 "X"
key Return
expect '^edit edit X$' "Shift+Home and typing replace the whole text"

# Home, Right, Shift+End, typing: "abc" becomes "aQ".
key BackSpace
xdotool type --delay 60 "abc"
key Home Right shift+End
xdotool type --delay 60 "Q"
key Return
expect '^edit edit aQ$' "a selection made with Shift+End is replaced"

# A double click selects everything.
# (one xdotool run, so that both presses fall within the double-click time)
move 500 72
xdotool mousedown 1 sleep 0.05 mouseup 1 sleep 0.05 mousedown 1 sleep 0.05 mouseup 1
sleep 0.2
xdotool type --delay 60 "Valmis"
key Return
expect '^edit edit Valmis$' "a double click selects the whole text"

# The short edit box holds five characters.
click 490 112
xdotool type --delay 60 "1234567"
key Return
expect '^edit short 12345$' "a full edit box refuses more characters"
key BackSpace
xdotool type --delay 60 "9"
key Return
expect '^edit short 12349$' "after Backspace it takes one again"

# Screenshot: the picture, the toggle drawn down, the check box ticked.
sleep 0.3
import -window "$WID" "$WORK/shot.png" 2>/dev/null
[ -n "${VASKUR_KEEP_SHOT:-}" ] && cp "$WORK/shot.png" "$VASKUR_KEEP_SHOT"
pixel() { /usr/bin/convert "$WORK/shot.png" -crop "1x1+$1+$2" +repage -depth 8 txt:- | tail -n 1 | sed 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/'; }
near() {  # near "R G B" R G B: each channel within 8
    set -- $1 "$2" "$3" "$4"
    [ $(( ($1 - $4) * ($1 - $4) <= 64 && ($2 - $5) * ($2 - $5) <= 64 && ($3 - $6) * ($3 - $6) <= 64 )) -eq 1 ]
}
p=$(pixel 510 250)
near "$p" 250 210 0 && echo "ok: the composed picture is shown" || fail "picture centre is $p"
down=$(pixel 60 106)
up=$(pixel 60 186)
[ "$down" != "$up" ] && echo "ok: the toggle is drawn down" || fail "toggle and plain button look the same ($down)"
if /usr/bin/convert "$WORK/shot.png" -crop 10x10+41+301 +repage -format '%k' info: | grep -q '^1$'; then
    fail "the check box is empty"
else
    echo "ok: the check box shows a tick"
fi

# The echo label went from "Tere maailm" down to "12349": nothing of the
# longer texts may be left to the right of it.
if /usr/bin/convert "$WORK/shot.png" -crop 80x14+545+138 +repage -format '%k' info: | grep -q '^1$'; then
    echo "ok: a shorter text leaves nothing of the old one"
else
    fail "remains of an old text next to the echo label"
fi

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
expect '^final edit Valmis$' "the edit box kept its text"
expect '^final short 12349$' "the short edit box kept its text"
expect '^final toggle 1$' "the toggle stayed down"
expect '^final check 1$' "the check box stayed ticked"
expect '^final number 1.25$' "the number was halved"
expect '^final end quit$' "the page ended through the exit button"

if [ $FAILS -ne 0 ]; then
    echo "---- events"; cat "$LOG"; echo "---- output"; grep -v ALSA "$WORK/out.txt" | head -40
    exit 1
fi
echo "all buttons page checks passed"
