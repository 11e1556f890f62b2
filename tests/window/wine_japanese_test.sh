#!/usr/bin/env bash
# nenrei-csv.exe as a Japanese Windows user runs it: Wine with the Japanese locale (locale
# 0411, ANSI and console code page 932), the program in a folder named in Japanese
# (山田 花子\年齢計算), file names in Japanese on the command line, and a real console.
#   - the export of the register beside the program and of one named in Japanese is byte
#     for byte the export the Linux build writes for the same register;
#   - an import into either adds the bytes the Linux build adds;
#   - --help and an error message in a console read back, character for character, as
#     the UTF-8 text the same command writes into a file.
# Usage: wine_japanese_test.sh BUILD_DIR (nenrei-csv.exe and console_reader.exe in it)
set -euo pipefail

build="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts/x11-session.sh
. "$here/../../scripts/x11-session.sh"

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
    wineserver -k 2>/dev/null || true
    x11_stop
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Debian has no Japanese locale by default: one of our own, outside the system.
export LOCPATH="$work/locale"
mkdir -p "$LOCPATH"
localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" 2>/dev/null
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
DISPLAY='' wine wineboot -i >/dev/null 2>&1
wineserver -w
x11_start
# One Wine server for the whole run, stopped at the end, with Wine's own background programs
# started here on the display (not as children of a test, whose output they would hold
# open): a program started while a server that had nothing left to do was going away would
# fail to connect to it.
wineserver -p
wine wineboot >/dev/null 2>&1
codepage="$(DISPLAY='' wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null |
    tr -d '\r' | awk '$1 == "ACP" { print $3 }')"
[ "$codepage" = 932 ] || fail "Wine does not run with the ANSI code page 932 (it has \"$codepage\")"

app="$work/drive/山田 花子/年齢計算"
mkdir -p "$app"
cp "$build/nenrei-csv.exe" "$build/console_reader.exe" "$app/"
csv() { (cd "$app" && DISPLAY='' wine nenrei-csv.exe "$@"); }

# Two people (山田太郎, 昭和 31/8/26; 髙橋, 平成 31/4/1) as the program stores them in code
# page 932, and their export --more on 2025-04-01 as the Linux build writes it.
register=$'1    \x8e\x52\x93\x63\x91\xbe\x98\x59            \x8f\xba\x98\x61 31  8   26  '
register+=$'2    \xfb\xfc\x8b\xb4                \x95\xbd\x90\xac 31  4   1   '
expected=$'\xef\xbb\xbf"番号","氏名","元号","年","月","日","西暦生年","年齢","法定年齢","数え年","学年","干支","長寿祝い"\r\n'
expected+=$'"1","山田太郎","昭和","31","8","26","1956","68","68","70","","丙申","古希"\r\n'
expected+=$'"2","髙橋","平成","31","4","1","2019","6","6","7","小1","己亥",""\r\n'
# 佐藤花子, 昭和 13/2/11 imported as record 3.
added=$'3    \x8d\xb2\x93\xa1\x89\xd4\x8e\x71            \x8f\xba\x98\x61 13  2   11  '
printf '%s' "$expected" >"$work/expected.csv"
printf '%s' "$register" >"$work/register"
printf '%s' "$register$added" >"$work/imported"
printf '氏名,元号,年,月,日\r\n佐藤花子,昭和,13,2,11\r\n' >"$app/取込.csv"

# The register beside the program (its folder named in Japanese), and one named in Japanese.
for name in kojinnen.txt 名簿.txt; do
    cp "$work/register" "$app/$name"
    if [ "$name" = kojinnen.txt ]; then
        csv export --on 2025-04-01 --more >"$work/out.csv" 2>"$work/err" || true
        csv import 取込.csv >/dev/null 2>>"$work/err" || true
    else
        csv export --on 2025-04-01 --more "$name" >"$work/out.csv" 2>"$work/err" || true
        csv import 取込.csv "$name" >/dev/null 2>>"$work/err" || true
    fi
    cmp -s "$work/out.csv" "$work/expected.csv" ||
        fail "export of $name differs from the Linux export: $(head -c 300 "$work/err")"
    cmp -s "$app/$name" "$work/imported" ||
        fail "import into $name did not add the Linux bytes: $(head -c 300 "$work/err")"
done

# A console shows the same text that goes into a file.
check_console() {
    local what="$1"
    shift
    csv "$@" >"$work/file.txt" 2>&1 || true
    (cd "$app" && wine console_reader.exe console.txt nenrei-csv.exe "$@") >/dev/null 2>&1 || true
    # A console line keeps no trailing blank and the screen no empty last line.
    sed -e 's/ *$//' "$work/file.txt" | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' >"$work/want.txt"
    sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' "$app/console.txt" >"$work/shown.txt" 2>/dev/null || true
    grep -q '[^[:space:]]' "$work/want.txt" || fail "$what: nothing written to the file"
    cmp -s "$work/want.txt" "$work/shown.txt" ||
        fail "$what: the console shows \"$(head -c 200 "$work/shown.txt")\", not \"$(head -c 200 "$work/want.txt")\""
}
check_console "--help" --help
check_console "a missing register" export 無い名簿.txt

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "nenrei-csv.exe in 山田 花子\\年齢計算 with code page 932: exports, imports and console text as on Linux"
