#!/bin/sh
# Measures the running program under a private Xvfb: idle CPU, the time from
# "Koosta mudel" to "Fail laetud." for a 513 x 513 map at patch size 16 and
# the given threshold, a full corner-to-corner search with its grey lines
# drawn, and the peak memory.
# Usage: scripts/measure-app.sh [BUILD_DIR] [MAP] [THRESHOLD]
#   (defaults: build/release, built by ./run; maps/hills-513-16.raw; 25, the
#   value the window proposes; for the heavy case: maps/rough-513-16.raw 0)
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build/release}
MAP=${2:-maps/hills-513-16.raw}
THRESHOLD=${3:-}
export VASKUR_RUN_DIR="$BUILD/rundir"
export VASKUR_SOURCE_DIR="$ROOT"
E2E_SHOT_DIR=$(mktemp -d /tmp/vaskur-measure.XXXXXX)
export E2E_SHOT_DIR
export VASKUR_TIMING=1
. "$ROOT/tests/app/e2e_lib.sh"
set +e

# CPU time (in nanoseconds, as the scheduler counts it) the program has used
# so far: all its threads, or (main) only its main thread, the one that runs
# the main loop. The others are Allegro's: its timer and its background
# thread (X input and output). The clock ticks of /proc/PID/stat are too
# coarse for an idle program: they sample which thread runs at each tick.
cpu_ns() { cat /proc/"$APP_PID"/task/*/schedstat | awk '{ s += $1 } END { print s }'; }
main_ns() { awk '{ print $1 }' "/proc/$APP_PID/task/$APP_PID/schedstat"; }
# Share of one core used over SECONDS of idling, all threads and main thread.
idle_cpu() {
    park
    t0=$(cpu_ns)
    m0=$(main_ns)
    sleep "$1"
    t1=$(cpu_ns)
    m1=$(main_ns)
    awk -v a="$t0" -v b="$t1" -v c="$m0" -v d="$m1" -v s="$1" \
        'BEGIN { printf "%.2f%% (main thread %.2f%%)", 100 * (b - a) / 1e9 / s, 100 * (d - c) / 1e9 / s }'
}

start_x
start_app
echo "idle CPU at start (10 s): $(idle_cpu 10)"

choose_file "$MAP"
press 314 262                      # open the patch-size list
dclick 240 283
if [ -n "$THRESHOLD" ]; then
    press 274 218                  # the threshold box
    send_keys End BackSpace BackSpace BackSpace
    type_text "$THRESHOLD"
fi
shot parameters
press 453 311                      # "Koosta mudel"
wait_message_changes
grep '^vaskur-timing build' "$SHOT_DIR/app.log" | sed "s|^vaskur-timing |$MAP, patch 16, threshold ${THRESHOLD:-25}: |"
echo "counters (triangles, vertices, edges) in $SHOT_DIR/loaded.png"
shot loaded

press_search
press 10 10 1
press 522 522 3
wait_message_changes
shot searched
grep '^vaskur-timing search' "$SHOT_DIR/app.log" | sed 's/^vaskur-timing /corner-to-corner /'
echo "idle CPU with a map shown (10 s): $(idle_cpu 10)"
echo "peak memory: $(awk '/VmHWM/ { print $2, $3 }' "/proc/$APP_PID/status")"
press_exit
app_status
echo "exit status $STATUS; screenshots in $SHOT_DIR"
