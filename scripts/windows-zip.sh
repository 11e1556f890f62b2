#!/usr/bin/env bash
# Packs the Windows build into the ZIP a Windows user unpacks and runs:
#   nenrei-VERSION-windows-x64/
#     nenrei.exe, nenrei-csv.exe,  static: Qt, its Japanese texts and libcsv built in
#     nenrei-meibo.exe
#     README.txt                   how to start, where the data files live, moving old ones
#     LICENSES/                    the parts' licences, and how to rebuild or replace Qt
#     source/                      the program's source, the scripts that build Qt included
# Usage: windows-zip.sh BUILD_FOLDER    (a build of the mingw-qt preset)
# Writes BUILD_FOLDER/nenrei-VERSION-windows-x64.zip.
set -euo pipefail

build="$(cd "${1:?build folder}" && pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
prefix="$(sed -n 's/^CMAKE_PREFIX_PATH:UNINITIALIZED=//p; s/^CMAKE_PREFIX_PATH:[A-Z]*=//p' \
    "$build/CMakeCache.txt" | head -n 1)"
qt="${prefix%%;*}"
libcsv="${prefix#*;}"
[ -n "$version" ] && [ -d "$qt/share/doc/qtbase/LICENSES" ] && [ -d "$libcsv/share/doc/libcsv" ] || {
    echo "windows-zip.sh: $build is no build of the mingw-qt preset" >&2
    exit 1
}
name="nenrei-$version-windows-x64"
qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)"
libcsv_version="$(dpkg-query -W -f='${Version}' libcsv-dev)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
out="$work/$name"
mkdir -p "$out/LICENSES" "$out/source"

for exe in nenrei nenrei-csv nenrei-meibo; do
    x86_64-w64-mingw32-strip -o "$out/$exe.exe" "$build/$exe.exe"
done

# Texts for Windows: UTF-8 with a byte-order mark (Notepad then reads it as UTF-8), CR LF.
windows_text() {
    printf '\xEF\xBB\xBF'
    sed -e "s/@VERSION@/$version/g" -e "s/@QT_VERSION@/${qt_version%%+*}/g" \
        -e "s/@QT_DEBIAN_VERSION@/$qt_version/g" -e "s/@LIBCSV_VERSION@/${libcsv_version%%+*}/g" \
        -e 's/$/\r/' "$1"
}
windows_text "$root/desktop/windows/README.txt" >"$out/README.txt"
windows_text "$root/desktop/windows/LICENSES.txt" >"$out/LICENSES/README.txt"
cp "$qt"/share/doc/qtbase/LICENSES/*.txt "$out/LICENSES/"
cp "$libcsv/share/doc/libcsv/COPYING.LESSER" "$out/LICENSES/libcsv-LGPL-2.1.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$out/LICENSES/mingw-w64.txt" 2>/dev/null ||
    cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$out/LICENSES/mingw-w64.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$out/LICENSES/gcc-runtime.txt"

# The program's source as committed (the LGPL asks that users can rebuild it with another
# Qt); a tree that is no git checkout is archived as it is.
if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
    git -C "$root" archive --format=tar.gz --prefix="nenrei-$version/" \
        -o "$out/source/nenrei-$version-source.tar.gz" HEAD
else
    tar -C "$(dirname "$root")" -czf "$out/source/nenrei-$version-source.tar.gz" \
        --exclude='build*' --transform "s|^$(basename "$root")|nenrei-$version|" \
        "$(basename "$root")"
fi

zip="$build/$name.zip"
rm -f "$zip"
(cd "$work" && TZ=UTC zip -q -X -r "$zip" "$name")
echo "$zip"
