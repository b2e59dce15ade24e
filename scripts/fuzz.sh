#!/usr/bin/env bash
# Builds every libFuzzer target with clang in build-fuzz/ and runs each for a
# bounded time on a working copy of its seed corpus (fuzz/corpus/<name>/).
# Exits non-zero on any crash, leak, timeout or sanitizer report.
#
#   FUZZ_SECONDS    seconds per target (default 60)
#   FUZZ_BUILD_DIR  build directory (default build-fuzz in the source tree)
#   CXX             compiler (default clang++)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
export CC=${CC:-clang} CXX=${CXX:-clang++}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

generator=()
if [[ ! -f $build/CMakeCache.txt ]] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
cmake -S "$root" -B "$build" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$CXX" \
    -DQUILMO_FUZZ=ON -DQUILMO_BUILD_TESTS=OFF
cmake --build "$build" --target quilmo_fuzzers -j2

# Each save syncs to disk, which would dominate a run on a disk: the
# targets' temporary files go to a tmpfs where there is one.
scratch=$(mktemp -d /dev/shm/quilmo-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch

status=0
count=0
for exe in "$build"/bin/fuzz_*; do
    [[ -x $exe ]] || continue
    name=${exe##*/fuzz_}
    corpus=$build/corpus/$name
    artifacts=$build/artifacts/$name
    log=$build/logs/$name.log
    mkdir -p "$corpus" "$artifacts" "$build/logs"
    # libFuzzer adds what it finds to this directory; the seeds stay clean.
    if [[ -d $root/fuzz/corpus/$name ]]; then
        cp -R "$root/fuzz/corpus/$name/." "$corpus/"
    fi

    # fuzz/<name>.options: the target's own limits (one option a line),
    # e.g. a tighter time and memory bound per input.
    options=()
    if [[ -f $root/fuzz/$name.options ]]; then
        mapfile -t options <"$root/fuzz/$name.options"
    fi

    echo "fuzz_$name: running for ${seconds}s, log in $log"
    rc=0
    "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 \
        -max_len=8192 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "${options[@]}" "$corpus" >"$log" 2>&1 || rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    if ((rc != 0)) || grep -qE 'ERROR: [A-Za-z]+Sanitizer|runtime error:' "$log"; then
        tail -n 60 "$log"
        echo "fuzz_$name: FAILED (exit $rc); reproducer in $artifacts/"
        status=1
    else
        echo "fuzz_$name: clean, ${runs:-?} executions"
    fi
    count=$((count + 1))
done

if ((count == 0)); then
    echo "no fuzz targets built in $build/bin" >&2
    exit 1
fi
exit "$status"
