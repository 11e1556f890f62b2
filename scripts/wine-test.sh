#!/usr/bin/env bash
# Runs CTest in a Windows build folder under Wine: a private, temporary Wine prefix, no
# display, one persistent Wine server for the whole run, removed at the end with it.
# Usage: wine-test.sh BUILD_DIR [CTEST_ARGS...]
set -euo pipefail
build="${1:?build folder}"
shift

WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/nenrei-wine.XXXXXX")"
# No debug output, no offer to install Mono or Gecko, no menu entries written on the host,
# no window system.
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" DISPLAY='' WAYLAND_DISPLAY=''
# Qt's offscreen platform reads its fonts from one folder: the Japanese font of the host.
export QT_QPA_FONTDIR='Z:/usr/share/fonts/opentype/ipafont-gothic'
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Make the prefix before the tests start, so no test pays for it or sees its messages.
wine wineboot -i >/dev/null 2>&1
wineserver -w
# One Wine server for the whole run, stopped at the end: a program started while a server
# that had nothing left to do was going away would fail to connect to it. Wine's own
# background programs start with it here, not as children of a test, whose output they
# would otherwise hold open.
wineserver -p
wine wineboot >/dev/null 2>&1
cd "$build"
ctest --output-on-failure "$@"
