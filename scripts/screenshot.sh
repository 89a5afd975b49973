#!/bin/sh
# Makes docs/screenshot.png: the program under a private Xvfb with a sample
# map loaded and a route found between two corners.
# Usage: scripts/screenshot.sh [BUILD_DIR]   (default build/release, built by ./run)
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build/release}
export VASKUR_RUN_DIR="$BUILD/rundir"
E2E_SHOT_DIR=$(mktemp -d /tmp/vaskur-screenshot.XXXXXX)
export E2E_SHOT_DIR
. "$ROOT/tests/app/e2e_lib.sh"
set +e

start_x
start_app
load_map maps/hills-513-8.raw
press_search
press 22 22 1
press 505 505 3
wait_message_changes
shot screenshot
mkdir -p "$ROOT/docs"
"$CONVERT" "$SHOT_DIR/screenshot.png" -crop 800x600+0+0 +repage "$ROOT/docs/screenshot.png"
echo "wrote $ROOT/docs/screenshot.png"
press_exit
app_status
