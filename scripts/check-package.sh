#!/bin/sh
# Builds the Debian package, checks its contents, starts its launcher on
# Xvfb until the window is drawn and closes the window. Without quilmo-config
# installed, it installs the package, starts the installed launcher and
# removes the package again (root or sudo). With quilmo-config installed, it
# leaves that copy as it is and starts the package's files from an unpacked
# tree instead. Needs build-tests/bin/xwin.
set -eu
cd "$(dirname "$0")/.."
xwin=$PWD/build-tests/bin/xwin
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
executable=/usr/libexec/quilmo/quilmo_config_tools_ibus
files="/usr/bin/quilmo-config $executable
/usr/share/applications/quilmo-config.desktop"

deb=$(scripts/package.sh)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# start_on_xvfb COMMAND [ARG...]: a private HOME, lock and runtime
# directory, so that a copy the user has open does not count as the first.
start_on_xvfb() {
    env HOME="$home" TMPDIR="$home" XDG_RUNTIME_DIR="$home" \
        IBUS_ADDRESS="unix:path=$home/no-ibus" QT_QPA_PLATFORM=xcb \
        xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        "$xwin" time "墨岚拼音输入法设置" "$@"
}

# Runs the unpacked files through a copy of the package's launcher that
# points into the tree; the launcher itself would start the installed copy.
start_unpacked() {
    tree=$home/unpacked
    dpkg-deb --extract "$deb" "$tree"
    launcher=$tree/usr/bin/quilmo-config
    if ! grep -qF "\"$executable\"" "$launcher"; then
        echo "the launcher does not start $executable" >&2
        exit 1
    fi
    sed "s#\"$executable\"#\"$tree$executable\"#" "$launcher" >"$home/launcher"
    chmod +x "$home/launcher"
    start_on_xvfb "$home/launcher"
}

echo "Checking the contents of $deb"
contents=$(dpkg-deb --contents "$deb")
for file in $files; do
    if ! echo "$contents" | grep -q " \.$file\$"; then
        echo "missing from the package: $file" >&2
        exit 1
    fi
done

if dpkg-query -W -f='${Status}' quilmo-config 2>/dev/null |
    grep -q "install ok installed"; then
    echo "quilmo-config is installed: starting the package unpacked instead"
    start_unpacked
    echo "Package unpacked and ran; the installed quilmo-config is untouched"
    exit 0
fi

echo "Installing $deb"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q \
    --no-install-recommends "$deb" >/dev/null
echo "Starting the installed launcher on Xvfb"
start_on_xvfb /usr/bin/quilmo-config
echo "Starting the installed desktop entry's command on Xvfb"
entry=/usr/share/applications/quilmo-config.desktop
# The Exec line's words: the executable and the token.
start_on_xvfb $(sed -n 's/^Exec=//p' "$entry")

DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -q quilmo-config \
    >/dev/null
for file in $files /usr/libexec/quilmo; do
    if [ -e "$file" ]; then
        echo "left behind after removal: $file" >&2
        exit 1
    fi
done
echo "Package installed, ran and removed cleanly"
