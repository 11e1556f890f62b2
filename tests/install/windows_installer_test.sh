#!/usr/bin/env bash
# The installer a Windows user gets, run under Wine in a private prefix the way an
# administrator rolls it out: a silent install (/S); the programs with their resources, the
# Start menu entries and the entry in 「アプリと機能」 in place; the installed nenrei-csv.exe
# keeps its register in the install folder; a silent uninstall removes the program, its
# entries and its registration, and keeps the data.
# Usage: windows_installer_test.sh SETUP_EXE PROGRAMS_TXT    (programs.txt of the build)
set -euo pipefail

setup="$(realpath "$1")"
programs="$(realpath "$2")"
work="$(mktemp -d)"
# Wine's menu builder would copy the Start menu entries into the host's menus: it is off,
# and the host's menu folders point into the scratch folder to prove it.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export DISPLAY='' WAYLAND_DISPLAY='' XDG_DATA_HOME="$work/xdg" XDG_CONFIG_HOME="$work/xdg"
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"
lacks() { ! "$@"; }
# The Windows value of an environment variable, and the folder it names on this side.
windows_variable() { wine cmd /c echo "%$1%" | tr -d '\r\n'; }
unix_path() { winepath -u "$1" 2>/dev/null; }
# A shortcut names its target in UTF-16 and in ANSI; without the zero bytes both read alike.
names() { tr -d '\0' <"$1" | grep -qaF "$2"; }
has_resources() {
    local rc
    rc="$(x86_64-w64-mingw32-windres -i "$1" -O rc 2>/dev/null)"
    # The product name 年齢計算, as the resource compiler writes UTF-16.
    for part in RT_GROUP_ICON VERSIONINFO RT_MANIFEST activeCodePage 'L"\x5e74\x9f62\x8a08\x7b97"'; do
        grep -qF "$part" <<<"$rc" || return 1
    done
}
registered() { wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\nenrei' /v "$1" >/dev/null 2>&1; }

wine wineboot -i >/dev/null 2>&1
wineserver -w
local_app_data="$(windows_variable LOCALAPPDATA)"
install="$(unix_path "$local_app_data\\Programs\\年齢計算")"
menu="$(unix_path "$(windows_variable APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\年齢計算")"

check "the silent install succeeds" wine "$setup" /S
wineserver -w
while IFS='|' read -r target title kind; do
    check "$target.exe is installed with its icon, version and manifest" has_resources "$install/$target.exe"
    if [ "$kind" = window ]; then
        check "the Start menu entry $title starts $target.exe" names "$menu/$title.lnk" "$target.exe"
    fi
done <"$programs"
check "README.txt is installed" test -s "$install/README.txt"
check "the uninstaller is registered for the user" registered QuietUninstallString
check "no menu entry was written on the host" test ! -e "$XDG_DATA_HOME/applications"

# The install folder takes new files, so the installed programs keep their data there.
printf '\xEF\xBB\xBF氏名,元号,年,月,日\r\n山田太郎,昭和,31,8,26\r\n' >"$work/one.csv"
check "the installed nenrei-csv.exe imports" \
    wine "$install/nenrei-csv.exe" import "$(winepath -w "$work/one.csv")" 2>/dev/null
check "the register is written into the install folder" test "$(stat -c %s "$install/kojinnen.txt")" -eq 42
cp "$install/kojinnen.txt" "$work/kept"
check "the usage names the install folder as the data folder" grep -qF \
    "データファイルのフォルダー: $local_app_data\\Programs\\年齢計算" <(wine "$install/nenrei-csv.exe" --help)

# The uninstaller goes on from a copy of itself: wineserver -w waits for it.
check "the silent uninstall succeeds" wine "$install/uninstall.exe" /S
wineserver -w
check "only the data file is left in the install folder" test "$(ls -A "$install")" = kojinnen.txt
check "the register is kept byte for byte" cmp -s "$work/kept" "$install/kojinnen.txt"
check "the Start menu entries are gone" test ! -e "$menu"
check "the registration is gone" lacks registered QuietUninstallString

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
