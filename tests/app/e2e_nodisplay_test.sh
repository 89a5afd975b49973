#!/bin/sh
# Without a display the framework cannot start: the program says why on
# stderr and ends with status 2, without waiting for anything.
RUN_DIR=${VASKUR_RUN_DIR:-${VASKUR_BINARY_DIR:-.}/rundir}
[ -x "$RUN_DIR/vaskur" ] || { echo "no program at $RUN_DIR/vaskur"; exit 1; }
ERR=$(mktemp)
trap 'rm -f "$ERR"' EXIT
(cd "$RUN_DIR" && env -u DISPLAY timeout 20 ./vaskur) 2>"$ERR" >/dev/null
status=$?
failures=0
if [ "$status" -eq 2 ]; then echo "ok: exit status 2"; else echo "FAIL: exit status $status"; failures=1; fi
if grep -q '^Error: initializing Allegro!$' "$ERR"; then echo "ok: the framework's message on stderr"
else echo "FAIL: stderr was:"; cat "$ERR"; failures=1; fi
exit $failures
