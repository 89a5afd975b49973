#!/bin/sh
# Installs the Debian packages Vaskur needs to build, run and test.
# Only missing packages are installed; nothing happens when all are present.
set -e

# libgdal-dev serves the import and export tools, libcairo2-dev (with
# libfontconfig-dev for its fonts) draws their profile charts;
# python-matplotlib-data ships a small real elevation model that the build
# turns into a sample map.
# --package adds what building the Debian package needs (dpkg-shlibdeps);
# --test adds that and what the tests need.
PACKAGES="cmake g++ make pkg-config liballegro4-dev libfreetype-dev libgdal-dev libcairo2-dev libfontconfig-dev fonts-dejavu-core python-matplotlib-data"
if [ "$1" = "--package" ] || [ "$1" = "--test" ]; then
    PACKAGES="$PACKAGES dpkg-dev"
fi
if [ "$1" = "--test" ] || [ "$1" = "--valgrind" ]; then
    PACKAGES="$PACKAGES libgtest-dev libbenchmark-dev libboost-graph-dev xvfb xdotool x11-utils imagemagick gdal-bin"
    PACKAGES="$PACKAGES man-db desktop-file-utils"
    # The packaging test checks the package as Debian and software centres do.
    PACKAGES="$PACKAGES lintian appstream"
fi
# scripts/valgrind-tests.sh
if [ "$1" = "--valgrind" ]; then
    PACKAGES="$PACKAGES valgrind"
fi
# The fuzz targets need clang with its libFuzzer and sanitizer runtimes.
if [ "$1" = "--fuzz" ]; then
    PACKAGES="$PACKAGES clang libclang-rt-14-dev"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing
