#!/bin/sh
# Builds the Debian package into build-package/ and prints its path.
set -eu
cd "$(dirname "$0")/.."
build=build-package
cmake --preset package >/dev/null
cmake --build --preset package >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/quilmo-config_*.deb
