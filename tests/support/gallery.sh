# Shared start of the script tests that drive a page of the widget gallery: a
# private Xvfb (xvfb.sh, which it brings along), the gallery started with its
# event log in $LOG and its input trace in $TRACE, and waiting until the page
# says it is ready.
#
#     . "$VASKUR_SOURCE_DIR/tests/support/gallery.sh"
#     gallery_start '^ready' VASKUR_GALLERY_PAGE=buttons VASKUR_GALLERY_SECONDS=90
#
# State it keeps, besides that of xvfb.sh:
#     GALLERY  the gallery program (VASKUR_GALLERY_BINARY, when set, names another)
#     LOG      the gallery's event log, $WORK/events.log
#     TRACE    the input it has taken, $WORK/input.log (for the input helpers)

. "$VASKUR_SOURCE_DIR/tests/support/xvfb.sh"

GALLERY="${VASKUR_GALLERY_BINARY:-$VASKUR_BINARY_DIR/tools/vaskur-gallery/vaskur-gallery}"

# gallery_start READY [VAR=value...]: starts the server and the gallery with
# those variables in its environment, waits (10 s) for its window and for a
# line of its log matching the grep pattern READY, then until it has the
# pointer where it was put. Ends the test when the gallery is not built, when
# no window came, the page never got ready or the pointer was not followed.
gallery_start() {
    _ready=$1; shift
    [ -x "$GALLERY" ] || { echo "gallery not built: $GALLERY"; exit 1; }
    xvfb_start || exit 1
    LOG="$WORK/events.log"
    TRACE="$WORK/input.log"
    start_window_app "$WORK/out.txt" '^vaskur-gallery$' env "$@" VASKUR_GALLERY_LOG="$LOG" \
        VASKUR_INPUT_TRACE="$TRACE" "$GALLERY" \
        || { echo "no gallery window on $DISPLAY"; cat "$LOG" "$WORK/out.txt" 2>/dev/null; exit 1; }
    wait_line "$_ready" "$LOG" || { echo "the page never got ready"; cat "$LOG"; exit 1; }
    # The bottom-left corner is empty on every page.
    settle_pointer 5 595 || { echo "the gallery does not follow the pointer"; cat "$TRACE"; exit 1; }
}
