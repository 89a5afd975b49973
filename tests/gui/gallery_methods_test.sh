#!/bin/sh
# Every screen update method in a real window: the gallery reports which
# method runs (page-based ones fall back where the window has no video
# pages) and the picture on screen is complete with each of them.
set -u

GALLERY="$VASKUR_BINARY_DIR/tools/vaskur-gallery/vaskur-gallery"
[ -x "$GALLERY" ] || { echo "gallery not built: $GALLERY"; exit 1; }

. "$VASKUR_SOURCE_DIR/tests/support/xvfb.sh"
xvfb_start || exit 1

# Keep the pointer away from the widgets.
xdotool mousemove 1000 750

shows_widgets() {  # shows_widgets METHOD: a screenshot; the red swatch and the panel in it
    red=""; panel=""
    shoot "$WORK/shot-$1.png" || return 1
    red=$(pixel "$WORK/shot-$1.png" 60 50)
    panel=$(pixel "$WORK/shot-$1.png" 300 400)
    near "$red" 220 60 60 && near "$panel" 200 200 200
}

check() {  # check METHOD EXPECTED-NAME
    LOG="$WORK/events-$1.log"
    start_app "$WORK/out-$1.txt" env VASKUR_GALLERY_METHOD=$1 VASKUR_GALLERY_LOG="$LOG" VASKUR_GALLERY_SECONDS=20 "$GALLERY"
    if ! wait_line '^ready' "$LOG"; then
        fail "method $1 never got ready"; stop_app; return
    fi
    name=$(sed -n 's/^ready \(.*\) [0-9]*$/\1/p' "$LOG")
    if [ "$name" = "$2" ]; then ok "method $1 runs as \"$name\""; else fail "method $1 runs as \"$name\", expected \"$2\""; fi
    wait_window --name '^vaskur-gallery$' 10
    # The picture is waited for (5 s): the first frames go out after "ready".
    _n=0
    until shows_widgets "$1"; do
        _n=$((_n + 1)); [ $_n -gt 50 ] && break
        sleep 0.1
    done
    if near "$red" 220 60 60 && near "$panel" 200 200 200; then
        ok "method $1 shows the widgets"
    else
        fail "method $1 shows red swatch $red, panel $panel"
    fi
    stop_app
}

check 0 "Double Buffering"
check 1 "Double Buffering"
check 2 "Double Buffering"
check 3 "Dirty Rectangle System"
check 7 "default Allegro update driver"

[ $FAILS -eq 0 ] || exit 1
echo "all methods checked"
