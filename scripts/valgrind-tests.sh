#!/bin/sh
# Runs every GoogleTest program of the suite under valgrind's memcheck, in a
# build without sanitizers (build/valgrind, RelWithDebInfo). Memcheck sees
# what the sanitizers cannot, for example memory that Allegro frees behind
# the program's back, and reads of uninitialised memory. The real-window part
# of the framework test runs too, under a private Xvfb. Not part of ./test:
# it takes a long while (tens of minutes on two cores).
#
# Usage: scripts/valgrind-tests.sh [PATTERN]
#   PATTERN: run only the programs whose name contains it (e.g. gui_dialog).
# Each program's output goes to build/valgrind/valgrind-logs/NAME.log. The
# exit status is 1 when memcheck reported an error or a test failed.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build/valgrind"
LOGS="$BUILD/valgrind-logs"
JOBS=${JOBS:-$(nproc)}

# One program (the script calls itself through xargs):
#   --one LABEL PROGRAM [ARGUMENTS...]; the log is LABEL.log.
if [ "$1" = "--one" ]; then
    label=$2
    program=$3
    shift 3
    cd "$BUILD/tests"
    status=0
    # Definite leaks count as errors; Allegro's and X's own lasting
    # allocations are "still reachable" and do not.
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
        --show-leak-kinds=definite --errors-for-leak-kinds=definite \
        --num-callers=30 "./$program" --gtest_brief=1 "$@" >"$LOGS/$label.log" 2>&1 || status=$?
    errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$LOGS/$label.log" | tail -n 1)
    case $status in
    0) echo "ok       $label" ;;
    99) echo "MEMCHECK $label: ${errors:-?} error(s), see $LOGS/$label.log" ;;
    *) echo "FAILED   $label (exit status $status), see $LOGS/$label.log" ;;
    esac
    exit 0
fi

"$ROOT/scripts/install-deps.sh" --valgrind
# The valgrind preset of CMakePresets.json: build/valgrind.
(cd "$ROOT" && cmake --preset valgrind >/dev/null && cmake --build --preset valgrind -j"$(nproc)")
rm -rf "$LOGS"
mkdir -p "$LOGS"

# Headless, as in CI: without a display.
find "$BUILD/tests" -maxdepth 1 -type f -name '*_test' -perm -u+x -printf '%f\n' | sort \
    | grep -F -- "${1:-_test}" \
    | env -u DISPLAY xargs -P "$JOBS" -I '{}' "$0" --one '{}' '{}' >"$LOGS/summary.txt"

# The framework's start-up and mode changes in a real window.
if [ -z "$1" ] || echo gui_framework_test | grep -q -F -- "$1"; then
    # The server picks a free display and names it once it accepts connections.
    work=$(mktemp -d)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xpid=$!
    while ! grep -q '^[0-9][0-9]*$' "$work/display" && kill -0 "$xpid" 2>/dev/null; do sleep 0.05; done
    DISPLAY=":$(head -n 1 "$work/display")" VASKUR_XVFB_DIR="$work" "$0" --one gui_framework_test-window \
        gui_framework_test --gtest_filter='RealWindowTest.*' >>"$LOGS/summary.txt"
    kill "$xpid" 2>/dev/null || true
    wait "$xpid" 2>/dev/null || true
    rm -rf "$work"
fi

cat "$LOGS/summary.txt"
if grep -q -v '^ok' "$LOGS/summary.txt"; then
    echo "valgrind: problems found (logs in $LOGS)"
    exit 1
fi
echo "valgrind: $(wc -l <"$LOGS/summary.txt") programs clean"
