#!/bin/sh
# Checks the Debian package as built by scripts/package.sh: its desktop entry
# (desktop-file-validate), its AppStream metainfo (appstreamcli) and the
# package as a whole (lintian). Fails on any error or warning, unless the
# package's lintian overrides (data/debian/lintian-overrides) explain it.
set -eu
cd "$(dirname "$0")/.."
deb=$(scripts/package.sh)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"

echo "desktop-file-validate: quilmo-config.desktop"
# It reports warnings without failing.
report=$(desktop-file-validate \
    "$tree/usr/share/applications/quilmo-config.desktop" 2>&1) || true
if [ -n "$report" ]; then
    echo "$report" >&2
    exit 1
fi
echo "appstreamcli validate: quilmo-config.metainfo.xml"
appstreamcli validate --no-net \
    "$tree/usr/share/metainfo/quilmo-config.metainfo.xml"
echo "lintian: ${deb##*/}"
lintian --fail-on error,warning "$deb"
echo "Package lint-free"
