#!/usr/bin/env bash
# Packs the Windows build for its users: the ZIP to unpack and run, and the per-user
# installer made from the same files.
#   nenrei-VERSION-windows-x64/
#     *.exe          the programs that cmake/programs.cmake lists and the build made
#                    (programs.txt): static, Qt, its Japanese texts and libcsv built in
#     README.txt     how to start, the screens, the command prompt, where the data lives
#     LICENSES/      the parts' licences, and how to rebuild or replace Qt
#     source/        the program's source, the scripts that build Qt included
# The installer (makensis, desktop/windows/installer.nsi) puts that folder into
# %LOCALAPPDATA%\Programs\年齢計算 with Start menu entries for the window programs.
# Usage: windows-package.sh BUILD_FOLDER    (a build of the mingw-qt preset)
# Writes BUILD_FOLDER/nenrei-VERSION-windows-x64.zip and
# BUILD_FOLDER/nenrei-VERSION-windows-x64-setup.exe.
set -euo pipefail

build="$(cd "${1:?build folder}" && pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
prefix="$(sed -n 's/^CMAKE_PREFIX_PATH:UNINITIALIZED=//p; s/^CMAKE_PREFIX_PATH:[A-Z]*=//p' \
    "$build/CMakeCache.txt" | head -n 1)"
qt="${prefix%%;*}"
libcsv="${prefix#*;}"
[ -n "$version" ] && [ -d "$qt/share/doc/qtbase/LICENSES" ] && [ -d "$libcsv/share/doc/libcsv" ] || {
    echo "windows-package.sh: $build is no build of the mingw-qt preset" >&2
    exit 1
}
name="nenrei-$version-windows-x64"
qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)"
libcsv_version="$(dpkg-query -W -f='${Version}' libcsv-dev)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
out="$work/$name"
mkdir -p "$out/LICENSES" "$out/source"

# target|title|kind, one program a line.
mapfile -t programs <"$build/programs.txt"
for program in "${programs[@]}"; do
    exe="${program%%|*}.exe"
    x86_64-w64-mingw32-strip -o "$out/$exe" "$build/$exe"
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

# The installer's lists, from the same files and programs.
# nsis_string VARIABLE TEXT: "VARIABLE\TEXT" as NSIS reads it ($ in TEXT as $$, " as $\").
nsis_string() {
    local text="${2//\$/\$\$}"
    text="${text//\"/\$\\\"}"
    printf '"%s\\%s"' "$1" "${text//\//\\}"
}
main=''
remove=()
{
    echo '; The window programs: their Start menu entries (written by scripts/windows-package.sh).'
    echo '!macro NENREI_SHORTCUTS'
    for program in "${programs[@]}"; do
        IFS='|' read -r target title kind <<<"$program"
        [ "$kind" = window ] || continue
        [ -n "$main" ] || main="$target.exe"
        echo "    CreateShortcut $(nsis_string '${MENU_FOLDER}' "$title.lnk") $(nsis_string '$INSTDIR' "$target.exe")"
        remove+=("    Delete $(nsis_string '${MENU_FOLDER}' "$title.lnk")")
    done
    echo '!macroend'
    echo '!macro NENREI_REMOVE_SHORTCUTS'
    printf '%s\n' "${remove[@]}"
    echo '!macroend'
    echo "!define NENREI_MAIN $(nsis_string '$INSTDIR' "$main")"
} >"$work/programs.nsh"
# Exactly the files installed, and then their folders, deepest first: the data files that
# the programs write into the same folder stay.
{
    echo '; The installed files (written by scripts/windows-package.sh).'
    echo '!macro NENREI_REMOVE_FILES'
    (cd "$out" && find . -type f | sort) | while IFS= read -r file; do
        echo "    Delete $(nsis_string '$INSTDIR' "${file#./}")"
    done
    (cd "$out" && find . -mindepth 1 -type d | sort -r) | while IFS= read -r folder; do
        echo "    RMDir $(nsis_string '$INSTDIR' "${folder#./}")"
    done
    echo '!macroend'
} >"$work/files.nsh"

setup="$build/$name-setup.exe"
rm -f "$setup"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" \
    -DVERSION4="$(IFS=. read -r a b c d <<<"$version" && echo "$a.${b:-0}.${c:-0}.${d:-0}")" \
    -DSTAGE="$out" -DGENERATED="$work" -DOUTFILE="$setup" -DICON="$root/desktop/windows/nenrei.ico" \
    "$root/desktop/windows/installer.nsi" >"$work/makensis.log" ||
    { cat "$work/makensis.log" >&2; exit 1; }
echo "$setup"
