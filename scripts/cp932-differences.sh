#!/usr/bin/env bash
# The differential check of code page 932: glibc iconv "CP932" against the Win32 conversion
# as Wine runs it, each asked for every single byte, every lead byte with every second
# byte, and every code point of the Basic Multilingual Plane (tools/cp932_table.cpp).
# Usage: cp932-differences.sh check|write NATIVE_CP932_TABLE WINDOWS_CP932_TABLE_EXE DOC
#   check: fails when the program's converter gives different tables on the two systems,
#          or when the converters differ anywhere DOC's table does not list (or no longer
#          differ where it does);
#   write: puts the converters' differences into DOC's table.
# Uses $WINEPREFIX when set, else a private temporary one.
set -euo pipefail

mode="${1:?check or write}"
native="$(realpath "${2:?native cp932_table}")"
windows="$(realpath "${3:?cp932_table.exe}")"
doc="$(realpath "${4:?document}")"
begin='<!-- differences: begin -->'
end='<!-- differences: end -->'

work="$(mktemp -d "${TMPDIR:-/tmp}/nenrei-cp932.XXXXXX")"
cleanup() {
    if [ -n "${own_prefix:-}" ]; then
        wineserver -k 2>/dev/null || true
        rm -rf "$own_prefix"
    fi
    rm -rf "$work"
}
trap cleanup EXIT
if [ -z "${WINEPREFIX:-}" ]; then
    own_prefix="$(mktemp -d "${TMPDIR:-/tmp}/nenrei-wine.XXXXXX")"
    export WINEPREFIX="$own_prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=''
fi

cd "$work"
"$native" native glibc.txt
"$native" program program-posix.txt
# Wine runs the program with the current folder as its own; the tables land here.
wine "$windows" native wine.txt
wine "$windows" program program-windows.txt

if ! cmp -s program-posix.txt program-windows.txt; then
    echo "The program's converter gives different results on POSIX (<) and Windows (>):" >&2
    diff program-posix.txt program-windows.txt | head -n 40 >&2
    exit 1
fi

# One row per input on which the converters differ: input, glibc, Wine, the program.
paste glibc.txt wine.txt program-posix.txt | awk -F'\t' '
    $1 != $3 || $1 != $5 { print "tables out of step at " $1 > "/dev/stderr"; exit 1 }
    $2 != $4 { printf "| %s | %s | %s | %s |\n", $1, $2, $4, $6 }' >found.txt
echo "glibc iconv and the Win32 conversion differ on $(wc -l <found.txt) of $(wc -l <glibc.txt) inputs;" \
    "the program's converter gives the same $(wc -l <program-posix.txt) results on both"

rows() { sed -n "/^$begin\$/,/^$end\$/p" "$1" | grep '^| [DE] ' || true; }

case "$mode" in
write)
    {
        sed -n "1,/^$begin\$/p" "$doc"
        echo '| input | glibc iconv | Wine | program |'
        echo '|---|---|---|---|'
        cat found.txt
        sed -n "/^$end\$/,\$p" "$doc"
    } >doc.new
    cp doc.new "$doc"
    echo "wrote $(wc -l <found.txt) rows to $doc"
    ;;
check)
    rows "$doc" >listed.txt
    if ! diff -u listed.txt found.txt >rows.diff; then
        echo "The converters' differences are not those $doc lists" \
            "(- listed, no longer found; + found, not listed):" >&2
        grep '^[-+]|' rows.diff >&2
        exit 1
    fi
    echo "every difference is listed in $doc"
    ;;
*)
    echo "unknown mode: $mode" >&2
    exit 2
    ;;
esac
