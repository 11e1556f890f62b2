#!/usr/bin/env bash
# Builds, once, the libraries that the Windows build of the program needs and that Debian's
# mingw-w64 does not ship: a static Qt 6 (qtbase, release) and libcsv, both for x86_64
# Windows, from Debian's own source packages, with the compilers that
# cmake/mingw-w64-x86_64.cmake names. Qt is the version of the host's Qt tools, which its
# build runs (moc, rcc, uic); libcsv the version that the Linux build links.
#
# Each result is a folder of the cache named after its inputs (source version, options,
# patches, compiler version), built in a temporary folder and renamed into place only when
# complete, so a later run with the same inputs does nothing and a broken run leaves nothing.
#
# Usage: windows-qt.sh          build what is missing, then print the CMake prefix path
#        windows-qt.sh --print  only print it; fails when something is not built yet
# The prefix path (Qt and libcsv, separated by ";") is the only output on stdout.
# Environment: NENREI_CACHE (default ${XDG_CACHE_HOME:-$HOME/.cache}/nenrei),
#              WINDOWS_QT_JOBS (parallel compiles, default 2; the build runs under nice).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
patches=("$root"/scripts/windows-qt/*.patch)
cache="${NENREI_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/nenrei}/windows"
jobs="${WINDOWS_QT_JOBS:-2}"
cc=x86_64-w64-mingw32-gcc-posix
cxx=x86_64-w64-mingw32-g++-posix
ar=x86_64-w64-mingw32-ar
multiarch="$(gcc -dumpmachine)"

mode=build
case "${1:-}" in
    '') ;;
    --print) mode=print ;;
    *)
        echo "usage: $0 [--print]" >&2
        exit 2
        ;;
esac

# Only what the programs and their tests use: Core, Gui, Widgets, PrintSupport and Test, the
# Windows and offscreen platforms, the Windows style. Every module, widget, dialog and format that they
# do not use is left out to keep the build short; the features that remain are checked after
# configuring (required_features).
qt_options=(
    -xplatform win32-g++ -static -release -nomake examples -nomake tests
    -qt-host-path /usr
    -no-pkg-config -no-opengl -no-dbus -no-icu -no-zstd
    # The bundled third-party sources, whatever the cross sysroot holds.
    -qt-zlib -qt-libpng -qt-freetype -qt-harfbuzz -qt-pcre
)
qt_features_off=(
    # Modules.
    network sql concurrent xml vulkan
    # Debian's source leaves out the Windows tablet headers.
    tabletevent
    # The Direct2D platform plugin builds the whole Windows platform plugin a second time;
    # the patch keeps the DirectWrite font database out with it.
    direct2d
    # Gui: formats, documents and services that no window shows.
    jpeg gif ico imageformat_ppm imageformat_xbm movie sessionmanager
    systemtrayicon textmarkdownreader textmarkdownwriter textodfwriter syntaxhighlighter
    undocommand undostack whatsthis style-stylesheet
    # Widgets that the windows and the dialogs they open do not contain. (The Windows style
    # does not compile without the tab bar and widget, the table and tree views, and the tool
    # bar, so those stay.)
    colordialog columnview commandlinkbutton datawidgetmapper
    dial dockwidget errormessage fontcombobox fontdialog
    graphicseffect keysequenceedit lcdnumber listwidget mdiarea
    progressdialog rubberband scroller splashscreen
    tablewidget textbrowser toolbox treewidget undogroup undoview wizard gestures
    effects
    # Core.
    mimetype sharedmemory systemsemaphore process
    hijricalendar islamiccivilcalendar jalalicalendar transposeproxymodel
    concatenatetablesproxymodel xmlstream
    xmlstreamreader xmlstreamwriter timezone
)
for f in "${qt_features_off[@]}"; do
    qt_options+=("-no-feature-$f")
done
# The cross compilers, and the host's Qt CMake files, which Debian keeps outside /usr/lib/cmake.
qt_options+=(
    --
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64
    "-DCMAKE_C_COMPILER=$cc" "-DCMAKE_CXX_COMPILER=$cxx"
    -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres
    -DCMAKE_FIND_ROOT_PATH=/usr/x86_64-w64-mingw32
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY
    "-DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$multiarch/cmake"
)
# What the program, its dialogs (QMessageBox, QInputDialog) and its tests need: configure
# silently drops a feature whose dependency was turned off, so this is checked.
required_features=(
    widgets testlib accessibility translation settings shortcut clipboard im
    label lineedit pushbutton radiobutton groupbox messagebox inputdialog
    style_windowsvista style_fusion freetype harfbuzz png
    # 名簿表: the table over a sorted, filtered model, its menus, the date and filter
    # controls, the file dialogs, the watch on the register, printing, the preview and the
    # PDF, and the model checker of its tests.
    mainwindow menubar statusbar toolbar tableview sortfilterproxymodel spinbox combobox
    checkbox datetimeedit calendarwidget filedialog filesystemmodel filesystemwatcher
    printsupport printer printdialog printpreviewwidget printpreviewdialog pdf picture
    formlayout graphicsview desktopservices itemmodeltester
)

libcsv_cflags=(-O2)

log() { echo "windows-qt: $*" >&2; }

# The compilers and tools that the keys below are made from, too.
if [ "$mode" = build ]; then
    "$root/scripts/install-deps.sh" windows >&2
fi

# The Debian source version behind a binary package: the installed one, else the candidate.
source_version() {
    local status
    status="$(dpkg-query -W -f='${db:Status-Status} ${source:Version}' "$1" 2>/dev/null || true)"
    if [[ $status == installed\ * ]]; then
        echo "${status#installed }"
        return
    fi
    apt-cache show --no-all-versions "$1" 2>/dev/null |
        awk '/^Source:/ && NF == 3 { s = $3; gsub(/[()]/, "", s) } /^Version:/ { v = $2 }
             END { if (s != "") print s; else if (v != "") print v; else exit 1 }'
}

hash_of() { sha256sum | cut -c1-12; }

compiler_version() { "$cxx" -dumpfullversion; }

qt_version="$(source_version qt6-base-dev-tools)" || {
    log "qt6-base-dev-tools is not known to apt"
    exit 1
}
libcsv_version="$(source_version libcsv-dev)" || {
    log "libcsv-dev is not known to apt"
    exit 1
}

qt_key="$({
    echo "$qt_version"
    printf '%s\n' "${qt_options[@]}"
    cat "${patches[@]}"
    compiler_version
    dpkg-query -W -f='${Version}\n' qt6-translations-l10n 2>/dev/null || true
} | hash_of)"
libcsv_key="$({
    echo "$libcsv_version"
    printf '%s\n' "${libcsv_cflags[@]}"
    compiler_version
} | hash_of)"

qt_prefix="$cache/qt-${qt_version//[:~]/_}-$qt_key"
libcsv_prefix="$cache/libcsv-${libcsv_version//[:~]/_}-$libcsv_key"

if [ "$mode" = print ]; then
    for p in "$qt_prefix" "$libcsv_prefix"; do
        if [ ! -d "$p" ]; then
            log "not built yet: $p (run $0)"
            exit 1
        fi
    done
    echo "$qt_prefix;$libcsv_prefix"
    exit 0
fi

if [ -d "$qt_prefix" ] && [ -d "$libcsv_prefix" ]; then
    echo "$qt_prefix;$libcsv_prefix"
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi

# apt-get source needs deb-src entries: the same archives, suites and keys as the system's
# own entries, in a file of their own.
ensure_deb_src() {
    if apt-cache showsrc qt6-base libcsv 2>/dev/null | grep -q '^Package: libcsv'; then
        return
    fi
    local d=/etc/apt/sources.list.d
    if ! grep -qs '^Types:.*deb-src' "$d"/*.sources && ! grep -qs '^deb-src ' /etc/apt/sources.list "$d"/*.list; then
        if [ -f "$d/debian.sources" ]; then
            log "adding $d/debian-src.sources"
            sed -E 's/^Types:.*/Types: deb-src/' "$d/debian.sources" |
                "${sudo[@]}" tee "$d/debian-src.sources" >/dev/null
        elif grep -qs '^deb ' /etc/apt/sources.list; then
            log "adding $d/debian-src.list"
            sed -n -E 's/^deb /deb-src /p' /etc/apt/sources.list |
                "${sudo[@]}" tee "$d/debian-src.list" >/dev/null
        else
            log "no Debian archive found in the APT sources to add deb-src entries for"
            exit 1
        fi
    fi
    "${sudo[@]}" apt-get update -qq
}

# Downloads and unpacks (with Debian's patches) a source package into $2.
fetch_source() {
    local package="$1" dest="$2" download
    download="$(dirname "$dest")/download-$package"
    mkdir -p "$download"
    (cd "$download" && apt-get source -qq --download-only "$package" >&2)
    dpkg-source --no-check -x "$download"/*.dsc "$dest" >/dev/null
    rm -rf "$download"
}

mkdir -p "$cache"
exec 9>"$cache/.lock"
if ! flock -n 9; then
    log "waiting for another build in $cache"
    flock 9
fi
# Whatever an interrupted run left behind.
rm -rf "$cache"/.work-*

work="$(mktemp -d "$cache/.work-XXXXXX")"
trap 'rm -rf "$work"' EXIT

build_qt() {
    local src="$work/qtbase" build="$work/build" stage="$work/stage" started=$SECONDS
    log "Qt $qt_version for Windows into $qt_prefix"
    fetch_source "qt6-base=$qt_version" "$src"
    for p in "${patches[@]}"; do
        patch -d "$src" -p1 --quiet <"$p"
    done
    mkdir -p "$build"
    log "configuring (log: $build/configure.log)"
    if ! (cd "$build" && nice "$src/configure" -prefix "$qt_prefix" "${qt_options[@]}") \
        >"$build/configure.log" 2>&1; then
        tail -n 40 "$build/configure.log" >&2
        exit 1
    fi
    local f missing=()
    for f in "${required_features[@]}"; do
        grep -q "^QT_FEATURE_$f:INTERNAL=ON$" "$build/CMakeCache.txt" || missing+=("$f")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        log "configured without features the program needs: ${missing[*]}"
        exit 1
    fi
    log "building with $jobs jobs"
    nice cmake --build "$build" --parallel "$jobs" >&2
    DESTDIR="$stage" cmake --install "$build" >/dev/null
    local out="$stage$qt_prefix"
    # Qt's own texts in Japanese (button labels of the message boxes), from Debian's
    # translations of the same Qt version.
    mkdir -p "$out/translations"
    cp /usr/share/qt6/translations/qtbase_ja.qm "$out/translations/"
    mkdir -p "$out/share/doc/qtbase"
    cp -r "$src/LICENSES" "$out/share/doc/qtbase/"
    {
        echo "qt6-base $qt_version, built $(date -u +%FT%TZ) in $((SECONDS - started)) s"
        printf '%s\n' "${qt_options[@]}"
    } >"$out/nenrei-build.txt"
    mv "$out" "$qt_prefix"
    log "Qt built in $((SECONDS - started)) s"
}

build_libcsv() {
    local src="$work/libcsv" out="$work/libcsv-out"
    log "libcsv $libcsv_version for Windows into $libcsv_prefix"
    fetch_source "libcsv=$libcsv_version" "$src"
    mkdir -p "$out/include" "$out/lib" "$out/share/doc/libcsv"
    "$cc" "${libcsv_cflags[@]}" -c "$src/libcsv.c" -o "$work/libcsv.o"
    "$ar" rcs "$out/lib/libcsv.a" "$work/libcsv.o"
    cp "$src/csv.h" "$out/include/"
    cp "$src/COPYING.LESSER" "$out/share/doc/libcsv/"
    mv "$out" "$libcsv_prefix"
}

ensure_deb_src
[ -d "$libcsv_prefix" ] || build_libcsv
[ -d "$qt_prefix" ] || build_qt

echo "$qt_prefix;$libcsv_prefix"
