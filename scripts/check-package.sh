#!/bin/sh
# Builds the Debian package, installs it, starts the installed launcher on
# Xvfb until its window is drawn, closes the window, and removes the
# package again. Needs root or sudo, and build-tests/bin/xwin.
set -eu
cd "$(dirname "$0")/.."
xwin=$PWD/build-tests/bin/xwin
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

deb=$(scripts/package.sh)
echo "Installing $deb"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q \
    --no-install-recommends "$deb" >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
echo "Starting the installed launcher on Xvfb"
env HOME="$home" TMPDIR="$home" XDG_RUNTIME_DIR="$home" \
    IBUS_ADDRESS="unix:path=$home/no-ibus" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    "$xwin" time "墨岚拼音输入法设置" /usr/bin/quilmo-config

DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -q quilmo-config \
    >/dev/null
for file in /usr/bin/quilmo-config /usr/libexec/quilmo \
    /usr/share/applications/quilmo-config.desktop; do
    if [ -e "$file" ]; then
        echo "left behind after removal: $file" >&2
        exit 1
    fi
done
echo "Package installed, ran and removed cleanly"
