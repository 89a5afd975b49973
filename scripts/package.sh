#!/bin/sh
# Builds Vaskur optimised (the build ./run makes) and packs it into a Debian
# package: build/release/vaskur_VERSION_ARCH.deb.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --package
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
cd build/release
cpack -G DEB
