#!/bin/sh
# Quick start for developers, and what CI runs: installs what is missing,
# checks the formatting, builds with warnings as errors and runs every test,
# then again under AddressSanitizer and UBSan; builds, installs, starts,
# removes and lints the Debian package; runs the fuzzers for a bounded time
# (FUZZ_SECONDS per target, default 60; 0 skips them).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

echo "== Formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# run_suite <build dir> <cmake options...>
run_suite() {
    build=$1
    shift
    echo "== Build and tests in $build"
    cmake -S . -B "$build" -G Ninja -DQUILMO_WERROR=ON \
        -DQUILMO_DATA_DIR="$PWD/$build/test-data/share/quilmo/" "$@" >/dev/null
    cmake --build "$build"
    (cd "$build" && ctest --output-on-failure -j2)
}

run_suite build-tests -DCMAKE_BUILD_TYPE=Debug

echo "== Package"
scripts/check-package.sh
scripts/lint-package.sh

run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DQUILMO_SANITIZE=ON \
    -DQUILMO_BUILD_BENCHMARKS=OFF

if [ "${FUZZ_SECONDS:-60}" != 0 ]; then
    echo "== Fuzzing"
    scripts/fuzz.sh
fi
