#!/usr/bin/env bash
# Runs CTest in a Windows build folder under Wine: a private, temporary Wine prefix, no
# display, removed at the end with its Wine server.
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
cd "$build"
ctest --output-on-failure "$@"
