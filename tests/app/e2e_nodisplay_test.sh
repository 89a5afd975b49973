#!/bin/sh
# Without a display the framework cannot start: the program says why on
# stderr (DISPLAY unset, or the display it names out of reach) and ends with
# status 2, without waiting for anything.
RUN_DIR=${VASKUR_RUN_DIR:-${VASKUR_BINARY_DIR:-.}/rundir}
[ -x "$RUN_DIR/vaskur" ] || { echo "no program at $RUN_DIR/vaskur"; exit 1; }
ERR=$(mktemp)
trap 'rm -f "$ERR"' EXIT
failures=0
check() { # check WHAT GREP_PATTERN ENV...
    what=$1 pattern=$2; shift 2
    (cd "$RUN_DIR" && env "$@" timeout 20 ./vaskur) 2>"$ERR" >/dev/null
    status=$?
    if [ "$status" -eq 2 ]; then echo "ok: $what: exit status 2"; else echo "FAIL: $what: exit status $status"; failures=1; fi
    if grep -q '^Error: initializing Allegro!$' "$ERR" && grep -q "$pattern" "$ERR"; then
        echo "ok: $what: the framework's message and the reason on stderr"
    else
        echo "FAIL: $what: stderr was:"; cat "$ERR"; failures=1
    fi
}
check "no DISPLAY" "DISPLAY is not set" -u DISPLAY
# A display number no server of the tests takes (they count up from 0).
check "a display out of reach" '":64999" named by DISPLAY cannot be reached' DISPLAY=:64999
exit $failures
