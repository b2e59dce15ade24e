#!/bin/sh
# Builds the Debian package into build-package/ and prints its path.
set -eu
cd "$(dirname "$0")/.."
build=build-package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DQUILMO_BUILD_TESTS=OFF -DQUILMO_BUILD_XWIN=OFF \
    -DQUILMO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/quilmo-config_*.deb
