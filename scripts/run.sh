#!/bin/sh
# Quick start: installs what is missing, builds, and opens the settings
# window through the launcher. Without a display it opens the window on a
# virtual X server instead, saves a screenshot of each tab (also with 16
# and 20 pt fonts, in Chinese and in English) and closes it.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
headless=OFF
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || headless=ON
# Without a display, xwin (a test helper) photographs the window.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILMO_BUILD_TESTS=OFF -DQUILMO_BUILD_XWIN=$headless >/dev/null
cmake --build build

if [ "$headless" = OFF ]; then
    exec build/bin/quilmo-config
fi

echo "No display (DISPLAY and WAYLAND_DISPLAY unset): running on Xvfb, saving screenshots of each tab."
work=$(mktemp -d)
xvfb=""
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Xvfb picks a free display number and writes it to the pipe once ready.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
if ! read -r display <"$work/display"; then
    cat "$work/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
# The lock and the raise socket live in XDG_RUNTIME_DIR: a copy running on
# the user's desktop would otherwise make this start return at once,
# without a window.
export TMPDIR="$work" XDG_RUNTIME_DIR="$work"

shots=build/screenshots
mkdir -p "$shots"
chinese="墨岚拼音输入法设置"
english="Molan Pinyin Input Method Settings"

# photograph PREFIX TITLE [VARIABLE=VALUE...]: opens the window with these
# variables and saves its tabs as $shots/PREFIX1-basic.png (常用) ...
# PREFIX4-about.png (关于).
photograph() {
    prefix=$1 title=$2
    shift 2
    # xwin prints the window's id once drawn and ends with the tool's status.
    rm -f "$work/window"
    mkfifo "$work/window"
    env "$@" build/bin/xwin launch "$title" build/bin/quilmo-config \
        >"$work/window" &
    tool=$!
    read -r window <"$work/window" || window=""
    if [ -z "$window" ]; then
        wait "$tool" || true
        exit 1
    fi
    number=0
    for page in basic wordlib special about; do
        number=$((number + 1))
        [ "$number" -eq 1 ] || build/bin/xwin next-tab "$window"
        build/bin/xwin shot "$window" "$shots/$prefix$number-$page.png"
    done
    build/bin/xwin close "$window"
    wait "$tool"
}

# The desktop's language as LANG alone gives it, whatever this shell has.
unset LC_ALL LC_MESSAGES LANGUAGE
photograph "" "$chinese" LANG=zh_CN.UTF-8
# Without a desktop Qt's font is 9 pt, and Xvfb's screen has 100 dpi: a
# font resolution of 100 * N / 9 dpi draws it as large as N pt. The tool's
# high-DPI scaling would make that resolution a scale factor of 2 instead.
photograph en- "$english" LANG=en_US.UTF-8
for points in 16 20; do
    dpi=QT_FONT_DPI=$((100 * points / 9))
    photograph "${points}pt-" "$chinese" LANG=zh_CN.UTF-8 \
        "$dpi" QT_ENABLE_HIGHDPI_SCALING=0
    photograph "en-${points}pt-" "$english" LANG=en_US.UTF-8 \
        "$dpi" QT_ENABLE_HIGHDPI_SCALING=0
done

echo "Screenshots in $PWD/$shots/ (常用, 词库, 高级, 关于):"
echo "  1-basic.png 2-wordlib.png 3-special.png 4-about.png"
echo "  16pt-1-basic.png ... 16pt-4-about.png, 20pt-1-basic.png ...: larger fonts"
echo "  en-1-basic.png ... en-4-about.png, en-16pt-1-basic.png ...: an English desktop"
