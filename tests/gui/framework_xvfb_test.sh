#!/bin/sh
# Starts the framework in a real window: a private Xvfb on a free display
# number runs the real-window part of the framework test program.
set -u
bin="$VASKUR_BINARY_DIR/tests/gui_framework_test"
if [ ! -x "$bin" ]; then
    echo "missing $bin"
    exit 1
fi
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "Xvfb is not installed: skipped"
    exit 0
fi

work=$(mktemp -d)
display=""
n=120
while [ $n -lt 220 ]; do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xpid=$!
        sleep 1
        if kill -0 $xpid 2>/dev/null; then
            display=":$n"
            break
        fi
    fi
    n=$((n + 1))
done
if [ -z "$display" ]; then
    echo "no free display for Xvfb"
    rm -rf "$work"
    exit 1
fi

cd "$work"
DISPLAY=$display VASKUR_XVFB_DIR=$work "$bin" --gtest_filter='RealWindowTest.*' \
    --gtest_also_run_disabled_tests >"$work/out.txt" 2>&1
rc=$?
cat "$work/out.txt" | grep -v -i "alsa" 
# The tests must have run, not been skipped.
grep -q "\[  PASSED  \] 2 tests" "$work/out.txt" || rc=1
grep -q "SKIPPED" "$work/out.txt" && rc=1
kill $xpid 2>/dev/null
wait $xpid 2>/dev/null
rm -rf "$work"
exit $rc
