#!/bin/sh
# Drives the window page of the widget gallery in a real window under Xvfb
# with xdotool: moves a window by its title bar, resizes it by an edge and by
# corners, maximises, restores, rolls it up and down with its icons (and
# checks that a maximised window cannot be moved nor a rolled-up one
# resized), closes a window that has only a close icon, pops up a window and
# ends it by its close icon and by an OK button after moving it, then checks
# what the page reported and a screenshot.
set -u

. "$VASKUR_SOURCE_DIR/tests/support/gallery.sh"
gallery_start '^ready' VASKUR_GALLERY_PAGE=window VASKUR_GALLERY_SECONDS=90

drag() {  # drag X1 Y1 X2 Y2: press at the first point, let go at the second
    move "$1" "$2"
    move "$1" "$2"
    press
    move $(( ($1 * 2 + $3) / 3 )) $(( ($2 * 2 + $4) / 3 ))
    move $(( ($1 + $3 * 2) / 3 )) $(( ($2 + $4 * 2) / 3 ))
    move "$3" "$4"
    release
}

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
shoot "$WORK/shot.png"
[ -n "${VASKUR_KEEP_SHOT:-}" ] && cp "$WORK/shot.png" "$VASKUR_KEEP_SHOT"
back=$(pixel "$WORK/shot.png" 5 5)
old=$(pixel "$WORK/shot.png" 70 70)
[ "$old" = "$back" ] && echo "ok: the old place of the window is painted over" || fail "left at the old place: $old (background $back)"
focused=$(pixel "$WORK/shot.png" 300 113)
unfocused=$(pixel "$WORK/shot.png" 640 93)
[ "$focused" != "$unfocused" ] && echo "ok: the focused title bar looks different" || fail "both title bars are $focused"
client=$(pixel "$WORK/shot.png" 400 300)
[ "$client" != "$back" ] && [ "$client" != "$focused" ] && echo "ok: the client area is painted" || fail "client area is $client"
# The window that cannot be resized shows no minimise or maximise icon.
[ "$(pixel "$WORK/shot.png" 691 93)" = "$unfocused" ] && [ "$(pixel "$WORK/shot.png" 707 93)" = "$unfocused" ] && echo "ok: no minimise or maximise icon on a fixed-size window" || fail "icons on the fixed-size window"
[ "$(pixel "$WORK/shot.png" 725 93)" != "$unfocused" ] && echo "ok: the close icon is there" || fail "no close icon"

# The fixed-size window: focus it, then its close icon.
click 600 92
click 725 93
expect '^closed info$' "the close icon closes a window inside the page"

# A popped-up window, centred: its close icon ends the popup.
click 580 555
expect '^activate opener$' "the opener"
click 505 248
expect '^popup returned close$' "the close icon ends the popup"

# Again: moved by its title bar, then ended by its OK button.
click 580 555
drag 350 245 380 265
expect '^geom box 310 255 240 130 0$' "a popped-up window moves by its title bar"
click 354 341
expect '^popup returned ok$' "the OK button ends the popup"

# The exit button ends the page.
click 720 555
app_wait || fail "the exit button did not end the page"
RC=$APP_STATUS
[ "$RC" -eq 0 ] && echo "ok: exit status 0" || fail "exit status $RC"
expect '^final win 140 100 440 260 0$' "the window kept its place and size"
expect '^final end quit$' "the page ended through the exit button"

if [ $FAILS -ne 0 ]; then
    echo "---- events"; cat "$LOG"; echo "---- output"; grep -v ALSA "$WORK/out.txt" | head -40
    exit 1
fi
echo "all window page checks passed"
