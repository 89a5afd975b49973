#!/bin/sh
# Drives the file selector page of the widget gallery in a real window under
# Xvfb with xdotool, on a directory tree made here: chooses a file by double
# clicking it, enters a directory and goes back up by double clicks, enters a
# directory by typing its path and chooses a file by typing its name and
# pressing Enter, takes a typed name that names no file with OK, and leaves
# with Cancel and with Esc (nothing chosen). Checks the reported results and a
# screenshot of the open selector (folder and page icons in their colours).
set -u

GALLERY="${VASKUR_GALLERY_BINARY:-$VASKUR_BINARY_DIR/tools/vaskur-gallery/vaskur-gallery}"
[ -x "$GALLERY" ] || { echo "gallery not built: $GALLERY"; exit 1; }

WORK=$(mktemp -d)
LOG="$WORK/events.log"
TREE="$WORK/tree"
XPID=""
GPID=""
cleanup() {
    [ -n "$GPID" ] && kill "$GPID" 2>/dev/null
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null
    [ -n "$XPID" ] && wait "$XPID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

# The tree, listed as: . .. Beta sub a.raw B.RAW c.txt (".hidden.raw" hidden).
mkdir -p "$TREE/Beta" "$TREE/sub"
for f in a.raw B.RAW c.txt .hidden.raw sub/inner.raw sub/other.raw; do echo x >"$TREE/$f"; done

# A free display number of our own, from :131 on; the server we started must
# be the one that answers (it dies at once when the display is taken).
N=$((130 + $$ % 40))
tries=0
while :; do
    tries=$((tries + 1)); [ $tries -gt 40 ] && { echo "no free display"; exit 1; }
    N=$((N + 1)); [ $N -gt 199 ] && N=131
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

# Allegro's start-up now and then fails on a freshly started server; the
# gallery is started again then.
WID=""
attempt=0
while [ -z "$WID" ]; do
    attempt=$((attempt + 1))
    rm -f "$LOG"
    VASKUR_GALLERY_PAGE=fileselector VASKUR_GALLERY_LOG="$LOG" VASKUR_GALLERY_SECONDS=120 \
        VASKUR_GALLERY_FILESEL_PATH="$TREE/" VASKUR_GALLERY_FILESEL_MASK="All files (*.*)|Maps (*.raw)" \
        "$GALLERY" >"$WORK/out.txt" 2>&1 &
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
sleep 0.5

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
move() { xdotool mousemove --window "$WID" "$1" "$2"; sleep 0.15; }
click() { move "$1" "$2"; xdotool mousedown 1; sleep 0.08; xdotool mouseup 1; sleep 0.15; }
dclick() {
    move "$1" "$2"
    xdotool mousedown 1 sleep 0.05 mouseup 1 sleep 0.05 mousedown 1 sleep 0.05 mouseup 1
    sleep 0.3
}
key() { xdotool key --delay 60 "$@"; sleep 0.15; }

# Geometry of the open selector as the page reports it: client area corner,
# entry area corner and entry height.
CX=0; CY=0; LX=0; LY=0; LH=0
open_selector() {
    n=$(count '^shown ')
    click 580 555   # the page's "Vali fail" button
    j=0
    while [ "$(count '^shown ')" -le "$n" ]; do
        j=$((j + 1)); [ $j -gt 30 ] && { fail "the selector did not open"; cat "$LOG"; return 1; }
        sleep 0.1
    done
    set -- $(grep '^shown ' "$LOG" | tail -n 1)
    CX=$2; CY=$3; LX=$4; LY=$5; LH=$6
    sleep 0.3
}
# Centre of entry number $1 of the file list.
row_y() { echo $((LY + $1 * LH + LH / 2)); }
row_x() { echo $((LX + 40)); }
results() { count '^chosen '; }
wait_result() {  # wait_result N: until there are N "chosen" lines
    j=0
    while [ "$(results)" -lt "$1" ]; do
        j=$((j + 1)); [ $j -gt 30 ] && return 1
        sleep 0.1
    done
    return 0
}
last_result() { grep '^chosen ' "$LOG" | tail -n 1 | cut -c8-; }
check_result() {  # check_result N TEXT DESCRIPTION
    if wait_result "$1"; then
        got=$(last_result)
        [ "$got" = "$2" ] && echo "ok: $3" || fail "$3 (got '$got', wanted '$2')"
    else
        fail "$3 (the selector gave no result)"
    fi
}
# Empties the file-name box and types into it.
type_path() {
    click $((CX + 150)) $((CY + 251))
    key End shift+Home BackSpace
    xdotool type --delay 30 "$1"
    sleep 0.2
}

# 1. Double click on a file chooses it.
open_selector || exit 1
import -window "$WID" "$WORK/shot.png" 2>/dev/null
cp "$WORK/shot.png" "${VASKUR_SHOT_DIR:-$WORK}/fileselector.png" 2>/dev/null
dclick "$(row_x)" "$(row_y 4)"
check_result 1 "$TREE/a.raw" "double click on a file chooses it"

# The screenshot: a folder on the "Beta" row, a page on the "a.raw" row, no
# icon on the ".." row.
pixels() {  # pixels X Y W H: the colours of a box, one per line
    /usr/bin/convert "$WORK/shot.png" -crop "$3x$4+$1+$2" +repage -depth 8 txt:- | tail -n +2 |
        sed 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/'
}
icon_has() {  # icon_has ROW R G B: a pixel of that colour (+-8 for 16-bit screens)
    pixels "$((LX + 4))" "$((LY + $1 * LH))" 14 "$LH" |
        awk -v r="$2" -v g="$3" -v b="$4" '
            function near(a, b) { return a - b <= 8 && b - a <= 8 }
            near($1, r) && near($2, g) && near($3, b) { found = 1 }
            END { exit !found }'
}
icon_has 2 240 230 120 && icon_has 2 96 88 64 && echo "ok: folder icon on a directory" || fail "no folder icon on the Beta row"
icon_has 4 255 255 255 && icon_has 4 0 0 0 && echo "ok: page icon on a file" || fail "no page icon on the a.raw row"
icon_has 1 240 230 120 || icon_has 1 255 255 255 && fail "an icon on the '..' row" || echo "ok: no icon on '..'"

# 2. Into "sub" and back up by double clicks, then a file chosen in "sub".
open_selector || exit 1
dclick "$(row_x)" "$(row_y 3)"   # sub
sleep 0.3
dclick "$(row_x)" "$(row_y 1)"   # ..
sleep 0.3
dclick "$(row_x)" "$(row_y 3)"   # sub again
sleep 0.3
dclick "$(row_x)" "$(row_y 3)"   # . .. inner.raw other.raw: other.raw
check_result 2 "$TREE/sub/other.raw" "into a directory, up and in again, a file chosen there"

# 3. Typing: a directory and Enter enters it; a file name and Enter chooses it.
open_selector || exit 1
type_path "$TREE/Beta"
key Return
sleep 0.3
[ "$(results)" -eq 2 ] && echo "ok: Enter on a directory path does not close" || fail "Enter on a directory closed the selector"
xdotool type --delay 30 "../B.RAW"
key Return
check_result 3 "$TREE/Beta/../B.RAW" "a typed path and Enter choose the file"

# 4. OK takes the text in the box even when it names no file.
open_selector || exit 1
type_path "$TREE/new.raw"
click $((CX + 340)) $((CY + 251))
check_result 4 "$TREE/new.raw" "OK returns the typed name"

# 5. Cancel and Esc return nothing.
open_selector || exit 1
dclick "$(row_x)" "$(row_y 0)"   # "." does nothing
sleep 0.2
click "$(row_x)" "$(row_y 5)"    # selecting B.RAW puts it into the box
click $((CX + 340)) $((CY + 277))
check_result 5 "none" "Cancel returns nothing"
open_selector || exit 1
key Escape
check_result 6 "none" "Esc returns nothing"

# The page ends through its exit button.
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
expect '^final end quit$' "the page ended through the exit button"

if [ $FAILS -ne 0 ]; then
    echo "--- log"; cat "$LOG"
    exit 1
fi
echo "all passed"
