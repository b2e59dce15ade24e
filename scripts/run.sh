#!/bin/sh
# Quick start: installs what is missing, builds, and opens the settings
# window through the launcher.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILMO_BUILD_TESTS=OFF >/dev/null
cmake --build build
exec build/bin/quilmo-config
