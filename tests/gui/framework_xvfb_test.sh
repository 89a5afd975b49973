#!/bin/sh
# Starts the framework in a real window: a private Xvfb (tests/support/xvfb.sh)
# runs the real-window part of the framework test program.
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

. "$VASKUR_SOURCE_DIR/tests/support/xvfb.sh"
xvfb_start || exit 1
work=$WORK

cd "$work"
VASKUR_XVFB_DIR=$work "$bin" --gtest_filter='RealWindowTest.*' \
    --gtest_also_run_disabled_tests >"$work/out.txt" 2>&1
rc=$?
cat "$work/out.txt" | grep -v -i "alsa" 
# The tests must have run, not been skipped.
grep -q "\[  PASSED  \] 2 tests" "$work/out.txt" || rc=1
grep -q "SKIPPED" "$work/out.txt" && rc=1
cd /
exit $rc
