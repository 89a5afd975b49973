#!/bin/sh
# Drives the lists page of the widget gallery in a real window under Xvfb
# with xdotool: picks an entry of a combo box, drags the list box's grip past
# both ends, scrolls it with the wheel, selects with the mouse and the keys,
# marks entries of a multi-select list, steps a scroll bar with its arrow,
# drags a horizontal grip, opens the combo box near the bottom edge (its list
# must open upwards), then checks what the page reported and a screenshot.
set -u

. "$VASKUR_SOURCE_DIR/tests/support/gallery.sh"
gallery_start '^rect hbar-grip' VASKUR_GALLERY_PAGE=lists VASKUR_GALLERY_SECONDS=90

# field NAME N: field N (1 = x) of the last "rect NAME" line.
field() { grep "^rect $1 " "$LOG" | tail -n 1 | awk -v f="$(( $2 + 2 ))" '{ print $f }'; }

IH=$(grep '^item-height list ' "$LOG" | awk '{ print $3 }')
CIH=$(grep '^item-height combo ' "$LOG" | awk '{ print $3 }')
LX=$(field list 1); LY=$(field list 2); LH=$(field list 4)
VISIBLE=$(( (LH - 4) / IH ))
LAST_FIRST=$(( 40 - VISIBLE ))   # the list holds 40 entries

# --- combo box: open it with its button, double-click the fourth entry
BX=$(( $(field combo-button 1) + $(field combo-button 3) / 2 ))
BY=$(( $(field combo-button 2) + $(field combo-button 4) / 2 ))
click "$BX" "$BY"
expect '^open combo$' "the combo box button opens the list"
expect '^rect combo-list ' "the open list reports where it is"
CLX=$(field combo-list 1); CLY=$(field combo-list 2)
[ "$CLY" -eq $(( $(field combo 2) + $(field combo 4) )) ] && echo "ok: the list opens below the edit box" \
    || fail "the list should open below the edit box (at $CLY)"
dclick $(( CLX + 30 )) $(( CLY + 2 + 3 * CIH + CIH / 2 ))
expect '^activate combo 3$' "double-clicking the fourth entry chooses it"
expect '^close combo$' "choosing closes the list"

# --- list box: drag its grip past the bottom end, then back past the top
GX=$(( $(field list-grip 1) + $(field list-grip 3) / 2 ))
GY=$(( $(field list-grip 2) + $(field list-grip 4) / 2 ))
move "$GX" "$GY"
press
y=$GY
while [ $y -lt $(( LY + LH + 120 )) ]; do y=$((y + 15)); move "$GX" "$y"; done
expect "^view list $LAST_FIRST\$" "dragging past the bottom shows the last page"
grep '^view list' "$LOG" | awk -v m="$LAST_FIRST" '$3 > m { bad = 1 } END { exit bad }' \
    && echo "ok: never scrolled beyond the last page" || fail "scrolled beyond the last page"
while [ $y -gt $(( LY - 120 )) ]; do y=$((y - 20)); move "$GX" "$y"; done
release
expect "^view list 0\$" "dragging back past the top shows the first entry"
[ "$(grep '^view list' "$LOG" | tail -n 1)" = "view list 0" ] && echo "ok: the view stays at the top" \
    || fail "the view should end at the top"
[ "$(count '^scroll list ')" -eq 0 ] && echo "ok: scrolling does not move the selection" \
    || fail "scrolling moved the selection"

# --- list box: the wheel over the entries
IX=$(( $(field list-items 1) + 40 ))
IY=$(( $(field list-items 2) + LH / 2 ))
move "$IX" "$IY"
wheel 5 3
expect '^view list 3$' "three wheel steps down scroll three entries"
wheel 4 1
expect '^view list 2$' "a wheel step up scrolls back one"

# --- list box: select with the mouse, then End
click "$IX" $(( LY + 2 + 2 * IH + IH / 2 ))
expect '^scroll list 4$' "a click selects the entry under the mouse"
key End
expect '^scroll list 39$' "End selects the last entry"
[ "$(grep '^view list' "$LOG" | tail -n 1)" = "view list $LAST_FIRST" ] && echo "ok: End brings the last entry into view" \
    || fail "End should bring the last entry into view"
key Down
[ "$(count '^scroll list ')" -eq 2 ] && echo "ok: Down on the last entry reports nothing" \
    || fail "Down on the last entry changed the selection"

# --- multi-select list: click two entries to mark them
MY=$(field marks 2)
click 100 $(( MY + 2 + 1 * IH + IH / 2 ))
click 100 $(( MY + 2 + 3 * IH + IH / 2 ))

# --- vertical scroll bar: hold the down arrow for half a second (the hold
# is the input itself); it steps while held
move $(( $(field vbar-down 1) + 8 )) $(( $(field vbar-down 2) + 8 ))
press
sleep 0.5
release
expect '^scroll vbar 3$' "holding the down arrow repeats the step"
VSTEPS=$(count '^scroll vbar ')
grep '^scroll vbar ' "$LOG" | awk '{ if ($3 != NR) bad = 1 } END { exit bad }' \
    && echo "ok: every step moved by one ($VSTEPS steps)" || fail "the arrow steps are not 1, 2, 3, ..."

# --- horizontal scroll bar: drag the grip past the right end
HX=$(( $(field hbar-grip 1) + $(field hbar-grip 3) / 2 ))
HY=$(( $(field hbar-grip 2) + 8 ))
move "$HX" "$HY"
press
x=$HX
while [ $x -lt $(( $(field hbar 1) + $(field hbar 3) + 100 )) ]; do x=$((x + 25)); move "$x" "$HY"; done
release
expect '^scroll hbar 40$' "dragging the horizontal grip past the end gives the last position"

# --- the combo box near the bottom edge opens upwards
click $(( $(field combo2-button 1) + 9 )) $(( $(field combo2-button 2) + 10 ))
expect '^open combo2$' "the lower combo box opens"
expect '^rect combo2-list ' "its list reports where it is"
C2Y=$(field combo2-list 2); C2H=$(field combo2-list 4)
[ $(( C2Y + C2H )) -eq "$(field combo2-edit 2)" ] && [ "$(field combo2-edit 2)" -eq "$(field combo2 2)" ] \
    && echo "ok: the list opens above the edit box, which stays in place" \
    || fail "the lower list should open above its edit box"
shoot "$WORK/shot.png"
SEL=$(pixel "$WORK/shot.png" $(( $(field combo2-list 1) + 60 )) $(( C2Y + 2 + CIH / 2 )))
ABOVE=$(pixel "$WORK/shot.png" $(( $(field combo2-list 1) + 60 )) $(( C2Y - 6 )))
[ -n "$SEL" ] && [ "$SEL" != "$ABOVE" ] && echo "ok: the open list is drawn over the page" \
    || fail "the open list is not to be seen ($SEL / $ABOVE)"
# Leaving it with the mouse closes it.
move 700 300
expect '^close combo2$' "moving the mouse away closes the list"

# --- quit and check the final state
key Escape
app_wait || fail "the gallery did not quit"
expect '^final combo 128$' "the combo box shows the chosen entry"
expect "^final list 39 $LAST_FIRST\$" "the list ends on its last entry, last page shown"
expect '^final marks 1 3$' "two entries of the multi-select list are marked"
expect "^final vbar $VSTEPS\$" "the vertical bar kept its position"
expect '^final hbar 40$' "the horizontal bar kept its position"

if [ $FAILS -ne 0 ]; then
    echo "--- events"
    cat "$LOG"
    exit 1
fi
echo "all passed"
