#!/bin/sh
# Drives the buttons page of the widget gallery in a real window under Xvfb
# with xdotool: clicks, a press let go outside, a shortcut key, a toggle, an
# auto-repeat button held down, a hyperlink, a check box, typing and
# selecting in two edit boxes (one of them full), then checks what the page
# reported and a screenshot.
set -u

. "$VASKUR_SOURCE_DIR/tests/support/gallery.sh"
gallery_start '^ready' VASKUR_GALLERY_PAGE=buttons VASKUR_GALLERY_SECONDS=90

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
# about 12 activations, one every 3 ticks); the hold is the input itself.
move 115 155
press
sleep 0.7
release
n1=$(count '^activate repeat$')
if [ "$n1" -ge 6 ] && [ "$n1" -le 20 ]; then echo "ok: auto-repeat fired $n1 times while held"; else fail "auto-repeat fired $n1 times"; fi
# The release has been taken: half a second (25 ticks, 8 repeat periods)
# of watching must bring no more.
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
type_text "Tere maailm"
key Return
expect '^edit edit Tere maailm$' "typed text and Enter"

# Shift+Home selects to the start; typing replaces the selection.
key End shift+Home
type_text "X"
key Return
expect '^edit edit X$' "Shift+Home and typing replace the whole text"

# Home, Right, Shift+End, typing: "abc" becomes "aQ".
key BackSpace
type_text "abc"
key Home Right shift+End
type_text "Q"
key Return
expect '^edit edit aQ$' "a selection made with Shift+End is replaced"

# A double click selects everything.
dclick 500 72
type_text "Valmis"
key Return
expect '^edit edit Valmis$' "a double click selects the whole text"

# The short edit box holds five characters.
click 490 112
type_text "1234567"
key Return
expect '^edit short 12345$' "a full edit box refuses more characters"
key BackSpace
type_text "9"
key Return
expect '^edit short 12349$' "after Backspace it takes one again"

# Screenshot: the picture, the toggle drawn down, the check box ticked (the
# frame after the last key is on the X server).
shoot "$WORK/shot.png"
[ -n "${VASKUR_KEEP_SHOT:-}" ] && cp "$WORK/shot.png" "$VASKUR_KEEP_SHOT"
p=$(pixel "$WORK/shot.png" 510 250)
near "$p" 250 210 0 && echo "ok: the composed picture is shown" || fail "picture centre is $p"
down=$(pixel "$WORK/shot.png" 60 106)
up=$(pixel "$WORK/shot.png" 60 186)
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
app_wait || fail "the exit button did not end the page"
RC=$APP_STATUS
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
