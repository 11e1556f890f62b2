#!/usr/bin/env bash
# Installs the program for the current user, or removes it again; nothing needs root.
#
#   scripts/install.sh install BUILD_FOLDER
#   scripts/install.sh uninstall
#
# The program keeps its data files beside its executable, so the executable goes into a
# folder of its own that the user can write:
#   $XDG_DATA_HOME/nenrei/nenrei                   the program; kojinnen.txt and kojinfl.txt beside it
#   $XDG_DATA_HOME/nenrei/nenrei-csv               the CSV command, beside the register it reads
#   $XDG_DATA_HOME/nenrei/nenrei-meibo             名簿表, the register in one table, beside it too
#   $XDG_DATA_HOME/nenrei/install_manifest.txt     the list of installed files, for uninstalling
#   ~/.local/bin/nenrei, nenrei-csv, nenrei-meibo  symlinks to the three, for starting them by name
#   $XDG_DATA_HOME/applications/nenrei*.desktop    menu entries of the program and of 名簿表
#   $XDG_DATA_HOME/metainfo/nenrei*.metainfo.xml   descriptions for software centres
#   $XDG_DATA_HOME/icons/hicolor/*/apps/nenrei*.*  icons
# with XDG_DATA_HOME defaulting to ~/.local/share.
#
# The build's install rules put every file under $XDG_DATA_HOME in place (cmake --install,
# with the prefix chosen here); this script adds the symlinks, which belong in ~/.local/bin
# wherever XDG_DATA_HOME points and must never replace a file of the user's own, and
# refreshes the desktop's caches.
#
# Installing again replaces the program and keeps the data files. Uninstalling removes
# the files the install manifest lists and the symlinks, leaves the data files, and
# removes the program folder only when it is left empty; it needs no build folder.
set -euo pipefail

usage() {
    echo "usage: $0 install BUILD_FOLDER | uninstall" >&2
    exit 2
}

die() {
    echo "$0: $*" >&2
    exit 1
}

[ $# -ge 1 ] || usage
action=$1

: "${HOME:?HOME is not set}"
case $HOME in
    /*) ;;
    *) die "HOME is not an absolute path: $HOME" ;;
esac
# A relative XDG_DATA_HOME is invalid and ignored, as the XDG base directory rules require.
data_home="$HOME/.local/share"
case ${XDG_DATA_HOME:-} in
    /*) data_home=$XDG_DATA_HOME ;;
esac
# Without trailing slashes, so that it splits into a prefix and a data folder below.
while [[ $data_home == */ && $data_home != / ]]; do
    data_home=${data_home%/}
done

program_folder="$data_home/nenrei"
program="$program_folder/nenrei"
csv_program="$program_folder/nenrei-csv"
meibo_program="$program_folder/nenrei-meibo"
manifest="$program_folder/install_manifest.txt"
bin_folder="$HOME/.local/bin"
launcher="$bin_folder/nenrei"
csv_launcher="$bin_folder/nenrei-csv"
meibo_launcher="$bin_folder/nenrei-meibo"
applications="$data_home/applications"
hicolor="$data_home/icons/hicolor"
data_files=(kojinnen.txt kojinfl.txt)

refresh_caches() {
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database -q "$applications" >/dev/null 2>&1 || true
    fi
    if command -v gtk-update-icon-cache >/dev/null 2>&1; then
        gtk-update-icon-cache -q "$hicolor" >/dev/null 2>&1 || true
    fi
}

# Whether a launcher path holds our symlink to a target (even a dangling one).
launcher_is_ours() {
    [ -L "$1" ] && [ "$(readlink "$1")" = "$2" ]
}

# Points a launcher at a target, replacing the old link through a rename.
# A symlink rather than a wrapper script: /proc/self/exe resolves it to the program, so
# the data folder stays the program's own, and nothing sits between the user and it.
put_launcher() {
    local link=$1 target=$2
    local tmp_link="$bin_folder/.nenrei-install.$$"
    mkdir -p "$bin_folder"
    ln -sfn "$target" "$tmp_link"
    mv -fT "$tmp_link" "$link"
}

# The data folder a build installs into: CMAKE_INSTALL_DATADIR, which GNUInstallDirs
# leaves empty to mean CMAKE_INSTALL_DATAROOTDIR (share); relative to the prefix.
build_datadir() {
    local cache=$1/CMakeCache.txt value
    value=$(sed -n 's/^CMAKE_INSTALL_DATADIR:[A-Z]*=//p' "$cache")
    if [ -z "$value" ]; then
        value=$(sed -n 's/^CMAKE_INSTALL_DATAROOTDIR:[A-Z]*=//p' "$cache")
    fi
    printf '%s' "${value:-share}"
}

do_install() {
    local build=$1 path prefix datadir
    if [ ! -f "$build/cmake_install.cmake" ] || [ ! -f "$build/CMakeCache.txt" ]; then
        die "no configured build folder at $build"
    fi
    # CMake keeps the installed files as a list separated by ';' and writes it one per line.
    case $data_home in
        *[$'\n;']*) die "the install folder holds a line break or a ';', which the list of installed files cannot hold: $data_home" ;;
        /) die "XDG_DATA_HOME is the root folder" ;;
    esac
    # Never replace a file of the user's own that happens to carry a launcher's name.
    for path in "$launcher" "$csv_launcher" "$meibo_launcher"; do
        if [ -e "$path" ] && [ ! -L "$path" ]; then
            die "$path exists and is not a link to the program; move it away and install again"
        fi
    done

    # The install rules place everything under PREFIX/DATADIR, so the data home is split
    # into those: ~/.local and share, unless XDG_DATA_HOME ends in another name, which
    # then becomes the build's DATADIR.
    prefix=$(dirname "$data_home")
    datadir=$(basename "$data_home")
    if [ "$(build_datadir "$build")" != "$datadir" ]; then
        echo "Setting CMAKE_INSTALL_DATADIR=$datadir in $build for $data_home"
        cmake -DCMAKE_INSTALL_DATADIR="$datadir" "$build" >/dev/null ||
            die "could not configure $build"
    fi
    cmake --install "$build" --prefix "$prefix" >/dev/null || die "cmake --install $build failed"
    for path in "$program" "$csv_program" "$meibo_program"; do
        [ -x "$path" ] || die "the install put no program at $path"
    done

    put_launcher "$launcher" "$program"
    put_launcher "$csv_launcher" "$csv_program"
    put_launcher "$meibo_launcher" "$meibo_program"
    refresh_caches

    echo "Installed: $program"
    echo "  launcher:   $launcher"
    echo "  CSV:        $csv_launcher"
    echo "  名簿表:     $meibo_launcher"
    echo "  menu entries: $applications/nenrei.desktop, $applications/nenrei-meibo.desktop"
    echo "  data files: $program_folder"
    echo "  installed files: $manifest"
    case ":${PATH:-}:" in
        *":$bin_folder:"*) ;;
        *) echo "ヒント: $bin_folder が PATH にありません。名前で起動するには PATH に加えてください。 / Hint: $bin_folder is not on PATH; add it to start nenrei by name." ;;
    esac
}

do_uninstall() {
    local path
    if [ -f "$manifest" ]; then
        # Files and links only, never a folder, whatever the list holds; the list names
        # itself, and goes last in any case.
        while IFS= read -r path || [ -n "$path" ]; do
            case $path in
                '') ;;
                /*)
                    if [ -f "$path" ] || [ -L "$path" ]; then
                        rm -f -- "$path"
                    fi
                    ;;
                *) echo "Left $path alone: not an absolute path" ;;
            esac
        done <"$manifest"
        rm -f -- "$manifest"
    else
        echo "No list of installed files at $manifest; nothing was removed from $data_home."
    fi
    # A launcher goes with the program it starts; with no list, the program stays and so does it.
    local link target
    for link in "$launcher" "$csv_launcher" "$meibo_launcher"; do
        target=$program_folder/$(basename "$link")
        if launcher_is_ours "$link" "$target"; then
            if [ ! -e "$target" ]; then
                rm -f "$link"
            fi
        elif [ -e "$link" ] || [ -L "$link" ]; then
            echo "Left $link in place: it is not a link to $target"
        fi
    done
    refresh_caches

    local kept=() name
    for name in "${data_files[@]}"; do
        if [ -e "$program_folder/$name" ]; then
            kept+=("$name")
        fi
    done
    # rmdir removes the folder only when nothing is left in it.
    if [ -d "$program_folder" ]; then
        rmdir "$program_folder" 2>/dev/null || true
    fi

    echo "Uninstalled nenrei."
    if [ ${#kept[@]} -gt 0 ]; then
        echo "データファイル（${kept[*]}）は $program_folder に残してあります。"
        echo "The data files (${kept[*]}) were left in $program_folder"
    elif [ -d "$program_folder" ]; then
        echo "Left $program_folder in place: it still holds files."
    fi
}

case $action in
    install)
        [ $# -eq 2 ] || usage
        do_install "$2"
        ;;
    uninstall)
        [ $# -eq 1 ] || usage
        do_uninstall
        ;;
    *) usage ;;
esac
