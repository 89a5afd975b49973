#!/bin/sh
# Drives the file selector page of the widget gallery in a real window under
# Xvfb with xdotool, on a directory tree made here: chooses a file by double
# clicking it, enters a directory and goes back up by double clicks, enters a
# directory by typing its path and chooses a file by typing its name and
# pressing Enter, takes a typed name that names no file with OK, and leaves
# with Cancel and with Esc (nothing chosen). Checks the reported results and a
# screenshot of the open selector (folder and page icons in their colours).
set -u

. "$VASKUR_SOURCE_DIR/tests/support/gallery.sh"
work_dir
TREE="$WORK/tree"

# The tree, listed as: . .. Beta sub a.raw B.RAW c.txt (".hidden.raw" hidden).
mkdir -p "$TREE/Beta" "$TREE/sub"
for f in a.raw B.RAW c.txt .hidden.raw sub/inner.raw sub/other.raw; do echo x >"$TREE/$f"; done

gallery_start '^ready' VASKUR_GALLERY_PAGE=fileselector VASKUR_GALLERY_SECONDS=120 \
    VASKUR_GALLERY_FILESEL_PATH="$TREE/" VASKUR_GALLERY_FILESEL_MASK="All files (*.*)|Maps (*.raw)"

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
    type_text "$1"
}

# 1. Double click on a file chooses it.
open_selector || exit 1
shoot "$WORK/shot.png"
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
dclick "$(row_x)" "$(row_y 1)"   # ..
dclick "$(row_x)" "$(row_y 3)"   # sub again
dclick "$(row_x)" "$(row_y 3)"   # . .. inner.raw other.raw: other.raw
check_result 2 "$TREE/sub/other.raw" "into a directory, up and in again, a file chosen there"

# 3. Typing: a directory and Enter enters it; a file name and Enter chooses it.
open_selector || exit 1
type_path "$TREE/Beta"
key Return
[ "$(results)" -eq 2 ] && echo "ok: Enter on a directory path does not close" || fail "Enter on a directory closed the selector"
type_text "../B.RAW"
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
click "$(row_x)" "$(row_y 5)"    # selecting B.RAW puts it into the box
click $((CX + 340)) $((CY + 277))
check_result 5 "none" "Cancel returns nothing"
open_selector || exit 1
key Escape
check_result 6 "none" "Esc returns nothing"

# The page ends through its exit button.
click 720 555
app_wait || fail "the exit button did not end the page"
RC=$APP_STATUS
[ "$RC" -eq 0 ] && echo "ok: exit status 0" || fail "exit status $RC"
expect '^final end quit$' "the page ended through the exit button"

if [ $FAILS -ne 0 ]; then
    echo "--- log"; cat "$LOG"
    exit 1
fi
echo "all passed"
