#!/bin/sh
# Soak run of the real program under a private Xvfb: CYCLES times (100 by
# default) a map is chosen in the file selector and built with the
# parameters window's defaults, every view is shown (KÕRGUSKAART, MUDEL,
# GRAAFI TIPUD, GRAAF, TÜHJENDA), then a full and a quick search are made.
# Prints the resident memory after cycles 1, 5, 50 and the last; memory must
# not grow after the first few cycles. Not part of ./test: it runs for about
# a quarter of an hour.
# Usage: scripts/soak-app.sh [BUILD_DIR] [MAP] [CYCLES]
#   (defaults: build/release, built by ./run; maps/hills-513-16.raw; 100)
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build/release}
MAP=${2:-maps/hills-513-16.raw}
CYCLES=${3:-100}
export VASKUR_SOURCE_DIR="$ROOT"
export VASKUR_RUN_DIR="$BUILD/rundir"
E2E_SHOT_DIR=$(mktemp -d /tmp/vaskur-soak.XXXXXX)
export E2E_SHOT_DIR
# The program then writes a line to stderr when a build or search ends.
export VASKUR_TIMING=1
. "$ROOT/tests/app/e2e_lib.sh"
set +e

# wait_done WHAT N: waits (60 s at most) until the program has reported N
# builds ("build"), full searches ("search") or quick searches ("quick-search").
wait_done() {
    for _ in $(seq 1 600); do
        [ "$(grep -c "^vaskur-timing $1 " "$SHOT_DIR/app.log")" -ge "$2" ] && return 0
        kill -0 "$APP_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
resident() { awk '/VmRSS/ { print $2, $3 }' "/proc/$APP_PID/status"; }

start_x
start_app
echo "at start: resident $(resident)"
cycle=0
while [ "$cycle" -lt "$CYCLES" ]; do
    cycle=$((cycle + 1))
    choose_file "$MAP"
    press 453 311                  # "Koosta mudel"
    wait_done build "$cycle" || { fail "cycle $cycle: the map was not built"; break; }
    press_heightmap
    press_model
    press_vertices
    press_graph
    press_clear
    press_search
    press 30 30 1
    press 500 490 3
    wait_done search "$cycle" || { fail "cycle $cycle: no full search"; break; }
    press_quicksearch
    press 40 480 1
    press 480 40 3
    wait_done quick-search "$cycle" || { fail "cycle $cycle: no quick search"; break; }
    case $cycle in
    1 | 5 | 50 | "$CYCLES") echo "after cycle $cycle: resident $(resident)" ;;
    esac
done
shot last
press_exit
app_status
[ "$STATUS" = 1 ] || fail "exit status $STATUS after $cycle cycles"
echo "$cycle cycles of $MAP; log and last screenshot in $SHOT_DIR"
[ "$FAILS" -eq 0 ]
