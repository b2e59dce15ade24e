#!/bin/sh
# Installs the Debian packages that building, running ("run") or testing
# ("test") the tool needs; does nothing when they are all there.
set -eu

build="cmake ninja-build g++ pkg-config qtbase5-dev libibus-1.0-dev"
# lupdate/lrelease and their CMake macros, for the catalogues.
build="$build qttools5-dev qttools5-dev-tools"
# A later start's activation token reaches the desktop through KWindowSystem.
build="$build libkf5windowsystem-dev"
# Qt's own start is shortened: the start's id handed back to it on X11, the
# font configuration loaded beside it.
build="$build libqt5x11extras5-dev libfontconfig-dev"
# Xvfb and a CJK font let the tool open (and show Chinese) without a desktop;
# xwin (tools/) drives the window there through XCB, DAMAGE and XTEST.
run="$build ibus xvfb x11-utils xauth fonts-wqy-microhei"
run="$run libxcb1-dev libxcb-damage0-dev libxcb-xtest0-dev"
# The window icon is an SVG; qtwayland5 runs the window natively on Wayland.
run="$run libqt5svg5 qtwayland5"
# KWindowSystem's Wayland side: xdg-activation, to raise the window there.
run="$run kwayland-integration"
# Qt's own texts (file dialog, menus) in Chinese.
run="$run qttranslations5-l10n"
# CPack's DEB generator runs file(1) to find the binaries for dpkg-shlibdeps.
test="$run dbus dbus-daemon clang clang-format libclang-rt-14-dev dpkg-dev file"
# The package's checks, and a headless Wayland compositor for the window.
test="$test lintian desktop-file-utils appstream weston"
# The window test types with xdotool and listens as a screen reader on the
# accessibility bus that at-spi2-core's launcher starts.
test="$test xdotool at-spi2-core"

case "${1:-}" in
run) wanted=$run ;;
test) wanted=$test ;;
*) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=""
for package in $wanted; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null |
        grep -q "install ok installed" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q \
    --no-install-recommends $missing
