#!/bin/sh
# Drives the widget gallery in a real window under Xvfb with xdotool: clicks,
# a double click, typing, Tab, a drag and a resize of the panel, a popup and
# Esc, then checks what the gallery reported and a screenshot.
set -u

. "$VASKUR_SOURCE_DIR/tests/support/gallery.sh"
gallery_start '^ready' VASKUR_GALLERY_TRACE=1 VASKUR_GALLERY_SECONDS=60

# Clicks: green takes the focus from red and is activated.
click 260 70
expect '^focus green$' "a click focuses green"
expect '^activate green$' "a click activates green"
grep -q '^unfocus red$' "$LOG" && ok "red lost the focus" || fail "red kept the focus"

# A grey swatch takes no focus: clicked, but the focus stays on green.
click 580 70
expect '^click grey$' "grey is clicked"
if grep -q '^focus grey$' "$LOG"; then fail "grey took the focus"; fi

# Double click on blue: both clicks from one xdotool, so that starting a
# second one on a busy machine cannot stretch the gap past the delay.
dclick 420 70
expect '^dclick blue$' "double click on blue"

# Typing into the text field.
click 100 150
expect '^focus text$' "the text field takes the focus"
type_text "abc"
expect '^char text 99 ' "typed characters reach the text field"

# Tab goes on in creation order: after the text field come the panel's swatches.
key Tab
expect '^focus inner1$' "Tab moves to the next widget created"
key Right
expect '^focus inner2$' "Right moves to the widget on the right"
# A quick Shift+Tab (xdotool's own pace) lets Shift go within milliseconds,
# before the next tick reads the Tab: it must still go backward, every time.
quick_key() {
    trace_mark
    xdotool key "$1"
    trace_until keys_taken 1 || fail "the program did not take $1"
}
for _ in 1 2 3 4 5; do
    quick_key shift+Tab
    quick_key Tab
done
expect_count '^focus inner1$' 6 "a quick Shift+Tab moves the focus backward"

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
key p
expect '^popup open$' "p opens the popup"
# The box is centred: 220x120 at (290,240); OK at (350,290) 100x40.
click 400 310
expect '^popup returned ok$' "the popup returns its OK button"

# Screenshot: the panel's title bar is at its new place, and the old place
# shows the backdrop again.
shoot "$WORK/shot.png"
inside=$(pixel "$WORK/shot.png" 600 470)   # inside the moved panel, below the swatches
if near "$inside" 200 200 200; then ok "panel drawn at its new place"; else fail "panel body is $inside"; fi
old=$(pixel "$WORK/shot.png" 110 440)      # where the panel was, now backdrop
if near "$old" 40 60 90 || near "$old" 50 70 100; then ok "old panel area repainted"; else fail "old panel area is $old"; fi

# Esc ends the program.
move 600 200
key Escape
app_wait || fail "Esc did not end the gallery"
[ "$APP_STATUS" = 0 ] && ok "exit status 0" || fail "exit status $APP_STATUS"
expect '^text abc$' "the text field kept what was typed"
expect '^end ' "the dialog ended"

if [ $FAILS -ne 0 ]; then
    echo "---- events"; cat "$LOG"; echo "---- output"; cat "$WORK/out.txt"
    exit 1
fi
echo "all gallery checks passed"
