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

# run_suite <preset> (CMakePresets.json)
run_suite() {
    echo "== Build and tests: preset $1"
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
    ctest --preset "$1"
}

run_suite dev

echo "== Package"
scripts/check-package.sh
scripts/lint-package.sh

run_suite asan

if [ "${FUZZ_SECONDS:-60}" != 0 ]; then
    echo "== Fuzzing"
    scripts/fuzz.sh
fi
