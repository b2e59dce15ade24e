#!/bin/sh
# Quick start for developers, and what CI runs: installs what is missing,
# checks the formatting, builds with warnings as errors and runs every test.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

echo "== Formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== Build and tests"
build=build-tests
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILMO_WERROR=ON \
    -DQUILMO_DATA_DIR="$PWD/$build/test-data/share/quilmo/" >/dev/null
cmake --build "$build"
(cd "$build" && ctest --output-on-failure -j2)
