#!/bin/sh
# Time to window: from exec to the MapNotify of the settings tool's window
# (started as its desktop entry starts it: the executable with the token;
# once more through its launcher, a shell script) against minimal_window, a
# bare Qt window of the same size and controls. One Xvfb, one private D-Bus
# session and IBus daemon for all runs; the runs alternate, each with a
# fresh HOME. Each program also runs with the other GL choice (the tool
# skips Qt's GL driver unless QT_XCB_GL_INTEGRATION is set; a bare window
# loads it), and in English (LANG=en_US.UTF-8) against its Chinese start.
# Prints the median time and peak RSS of each and their ratios; asserts
# nothing.
#
#   bench/bench_startup.sh [BUILD_DIR [RUNS]]     (build and 11 by default)
set -eu
build=${1:-build}
runs=${2:-11}
bin=$build/bin
for program in xwin quilmo-config quilmo_config_tools_ibus minimal_window; do
    if [ ! -x "$bin/$program" ]; then
        echo "$bin/$program is missing: build $build first" >&2
        exit 1
    fi
done

work=$(mktemp -d)
# A session's runtime directory, where the tool keeps its lock, is a tmpfs
# (systemd's /run/user/UID): there the lock costs no disk write.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    runtime=$(mktemp -d /dev/shm/quilmo-bench.XXXXXX)
else
    runtime=$work
fi
daemons=""
cleanup() {
    for pid in $daemons; do kill "$pid" 2>/dev/null || true; done
    for pid in $daemons; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work" "$runtime"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Xvfb and dbus-daemon write their address to a pipe once they listen.
mkfifo "$work/xvfb" "$work/dbus"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$work/xvfb" 2>/dev/null &
daemons="$daemons $!"
read -r display <"$work/xvfb"
dbus-daemon --session --nofork --print-address=3 3>"$work/dbus" 2>/dev/null &
daemons="$daemons $!"
read -r session <"$work/dbus"
unset WAYLAND_DISPLAY QT_XCB_GL_INTEGRATION QT_SCALE_FACTOR QT_IM_MODULE
unset LANGUAGE LC_ALL LC_MESSAGES
# Chinese: the tool has no catalogue for this language.
export LANG=C.UTF-8
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
export DBUS_SESSION_BUS_ADDRESS="$session" IBUS_ADDRESS="unix:path=$work/ibus"
ibus-daemon --panel=disable --emoji-extension=disable --cache=none \
    --config=/usr/libexec/ibus-memconf --address="$IBUS_ADDRESS" 2>/dev/null &
daemons="$daemons $!"
# IBus takes its session name once it listens, then starts the
# configuration service on its own bus.
gdbus wait --session --timeout 10 org.freedesktop.IBus
gdbus wait --address "$IBUS_ADDRESS" --timeout 10 org.freedesktop.IBus.Config

# 20,000 word libraries of 72 bytes (one process makes them all), which the
# runs with $with_libraries set list through a link in their HOME.
libraries="$work/wordlib"
mkdir "$libraries"
head -c 72 "$(dirname "$0")/../data/wordlib/a.qlb" >"$work/headers"
for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15; do
    cat "$work/headers" "$work/headers" >"$work/twice"
    mv "$work/twice" "$work/headers"
done
head -c $((72 * 20000)) "$work/headers" |
    split -b 72 -a 5 -d --additional-suffix=.qlb - "$libraries/lib"
rm "$work/headers"
with_libraries=""

# run NAME TITLE VARIABLES COMMAND [ARG...]: one start of COMMAND, with the
# VARIABLE=VALUE words of VARIABLES set, until its window TITLE is drawn,
# then closed; appends "ms KiB" to $work/NAME.
run() {
    name=$1 title=$2 variables=$3 command=$4
    shift 3
    home=$(mktemp -d "$work/home.XXXXXX")
    run_dir=$(mktemp -d "$runtime/run.XXXXXX")
    if [ -n "$with_libraries" ]; then
        mkdir -p "$home/.config/quilmo"
        ln -s "$libraries" "$home/.config/quilmo/wordlib"
    fi
    if ! line=$(env HOME="$home" TMPDIR="$home" XDG_RUNTIME_DIR="$run_dir" \
        $variables "$bin/xwin" time "$title" "$@" 2>"$work/stderr"); then
        cat "$work/stderr" >&2
        exit 1
    fi
    rm -rf "$home" "$run_dir"
    set -- $line # map_ms=... peak_rss_kib=... status=...
    if [ "$3" != status=0 ]; then
        echo "$name: $command ended with $3" >&2
        exit 1
    fi
    echo "${1#map_ms=} ${2#peak_rss_kib=}" >>"$work/$name"
}

tool="墨岚拼音输入法设置"
tool_english="Molan Pinyin Input Method Settings"
minimal="minimal window"
program=$bin/quilmo_config_tools_ibus
token=$(sed -n 's/^exec .* "\(.*\)"$/\1/p' "$bin/quilmo-config")
round() {
    run "${1}tool" "$tool" "" "$program" "$token"
    run "${1}tool_launcher" "$tool" "" "$bin/quilmo-config"
    run "${1}tool_english" "$tool_english" LANG=en_US.UTF-8 "$program" "$token"
    run "${1}minimal" "$minimal" "" "$bin/minimal_window"
    run "${1}tool_gl" "$tool" QT_XCB_GL_INTEGRATION=xcb_glx "$program" "$token"
    run "${1}minimal_nogl" "$minimal" QT_XCB_GL_INTEGRATION=none \
        "$bin/minimal_window"
    with_libraries=1
    run "${1}tool_libraries" "$tool" "" "$program" "$token"
    with_libraries=""
}
round warmup_ # fills the page cache; not counted
number=0
while [ "$number" -lt "$runs" ]; do
    number=$((number + 1))
    round ""
done

# median NAME COLUMN: column 1 is ms, column 2 KiB.
median() {
    cut -d' ' -f"$2" "$work/$1" | sort -n | awk '{ v[NR] = $1 }
        END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
for name in tool tool_launcher minimal tool_gl minimal_nogl tool_libraries \
    tool_english; do
    eval "${name}_ms=\$(median $name 1) ${name}_kib=\$(median $name 2)"
done

echo "Time to window on Xvfb (exec to MapNotify), private IBus daemon,"
echo "fresh HOME per run; medians of $runs alternating runs each:"
row() {
    awk -v l="$1" -v ms="$2" -v kib="$3" \
        'BEGIN { printf "  %-44s %7.1f ms %7.1f MiB\n", l, ms, kib / 1024 }'
}
row "quilmo-config (skips the GL driver)" "$tool_ms" "$tool_kib"
row "quilmo-config through its launcher script" "$tool_launcher_ms" \
    "$tool_launcher_kib"
row "minimal window (Qt's default: GL driver)" "$minimal_ms" "$minimal_kib"
row "quilmo-config, QT_XCB_GL_INTEGRATION=xcb_glx" "$tool_gl_ms" "$tool_gl_kib"
row "minimal window, QT_XCB_GL_INTEGRATION=none" "$minimal_nogl_ms" \
    "$minimal_nogl_kib"
row "quilmo-config with 20,000 word libraries" "$tool_libraries_ms" \
    "$tool_libraries_kib"
row "quilmo-config, LANG=en_US.UTF-8 (English)" "$tool_english_ms" \
    "$tool_english_kib"
echo "quilmo-config / minimal window (goal: at most 1.1 at equal GL):"
ratio() {
    awk -v l="$1" -v a="$2" -v b="$3" -v c="$4" -v d="$5" \
        'BEGIN { printf "  %-30s %.2f time, %.2f peak RSS\n", l, a / b, c / d }'
}
ratio "as each starts by default" "$tool_ms" "$minimal_ms" "$tool_kib" \
    "$minimal_kib"
ratio "both without the GL driver" "$tool_ms" "$minimal_nogl_ms" \
    "$tool_kib" "$minimal_nogl_kib"
ratio "both with the GL driver" "$tool_gl_ms" "$minimal_ms" "$tool_gl_kib" \
    "$minimal_kib"
ratio "through the launcher, no GL" "$tool_launcher_ms" "$minimal_nogl_ms" \
    "$tool_launcher_kib" "$minimal_nogl_kib"
ratio "20,000 libraries, both no GL" "$tool_libraries_ms" \
    "$minimal_nogl_ms" "$tool_libraries_kib" "$minimal_nogl_kib"
echo "English / Chinese quilmo-config (goal: at most 1.1):"
ratio "both without the GL driver" "$tool_english_ms" "$tool_ms" \
    "$tool_english_kib" "$tool_kib"
awk -v ms="$tool_gl_ms" -v ms0="$tool_ms" -v kib="$tool_gl_kib" \
    -v kib0="$tool_kib" 'BEGIN { printf "Skipping the GL driver saves " \
    "quilmo-config %.1f ms and %.1f MiB.\n", ms - ms0, (kib - kib0) / 1024 }'
