#!/bin/sh
# Builds Vaskur optimised (the build ./run makes) and packs it into a Debian
# package: build/release/vaskur_VERSION_ARCH.deb.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --package
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVASKUR_TESTS=OFF -DVASKUR_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
cd build/release
cpack -G DEB
