#!/usr/bin/env bash
# Installs the program for the current user, or removes it again; nothing needs root.
#
#   scripts/install.sh install EXECUTABLE CSV_EXECUTABLE
#   scripts/install.sh uninstall
#
# The program keeps its data files beside its executable, so the executable goes into a
# folder of its own that the user can write:
#   $XDG_DATA_HOME/nenrei/nenrei                   the program; kojinnen.txt and kojinfl.txt beside it
#   $XDG_DATA_HOME/nenrei/nenrei-csv               the CSV command, beside the register it reads
#   ~/.local/bin/nenrei, ~/.local/bin/nenrei-csv   symlinks to both, for starting them by name
#   $XDG_DATA_HOME/applications/nenrei.desktop     menu entry
#   $XDG_DATA_HOME/metainfo/nenrei.metainfo.xml    description for software centres
#   $XDG_DATA_HOME/icons/hicolor/*/apps/nenrei.*   icons
# with XDG_DATA_HOME defaulting to ~/.local/share.
#
# Installing again replaces the program and keeps the data files. Uninstalling removes
# what install put there, leaves the data files, and removes the program folder only
# when it is left empty.
set -euo pipefail

usage() {
    echo "usage: $0 install EXECUTABLE CSV_EXECUTABLE | uninstall" >&2
    exit 2
}

die() {
    echo "$0: $*" >&2
    exit 1
}

[ $# -ge 1 ] || usage
action=$1

source_folder=$(CDPATH='' cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
assets="$source_folder/desktop"

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

program_folder="$data_home/nenrei"
program="$program_folder/nenrei"
bin_folder="$HOME/.local/bin"
launcher="$bin_folder/nenrei"
csv_program="$program_folder/nenrei-csv"
csv_launcher="$bin_folder/nenrei-csv"
metainfo="$data_home/metainfo/nenrei.metainfo.xml"
applications="$data_home/applications"
desktop_file="$applications/nenrei.desktop"
hicolor="$data_home/icons/hicolor"
icon_svg="$hicolor/scalable/apps/nenrei.svg"
icon_48="$hicolor/48x48/apps/nenrei.png"
icon_256="$hicolor/256x256/apps/nenrei.png"
data_files=(kojinnen.txt kojinfl.txt)

# Copies a file into place through a temporary name in the target folder and a rename, so
# a reader (or a running copy of the program) sees the old file or the new one, never half.
put_file() {
    local mode=$1 from=$2 to=$3
    local folder tmp
    folder=$(dirname "$to")
    mkdir -p "$folder"
    tmp=$(mktemp "$folder/.nenrei-install.XXXXXX")
    if ! install -m "$mode" "$from" "$tmp" || ! mv -f "$tmp" "$to"; then
        rm -f "$tmp"
        die "could not install $to"
    fi
}

# The Exec value of a desktop entry for one absolute program path: quoted when the path
# holds a character the Exec syntax reserves, with \ " ` $ escaped inside the quotes,
# % doubled, and the backslashes then doubled again for the string-value escaping.
desktop_exec() {
    local path=$1
    local reserved=$' \t"\'\\><~|&;$*?#()`'
    local value=$path
    if [[ $path == *["$reserved"]* ]]; then
        value=${value//\\/\\\\}
        value=${value//\"/\\\"}
        value=${value//\`/\\\`}
        value=${value//\$/\\\$}
        value="\"$value\""
    fi
    value=${value//%/%%}
    value=${value//\\/\\\\}
    printf '%s' "$value"
}

write_desktop_file() {
    local exec line tmp
    exec=$(desktop_exec "$program")
    mkdir -p "$applications"
    tmp=$(mktemp "$applications/.nenrei-install.XXXXXX")
    while IFS= read -r line || [ -n "$line" ]; do
        if [ "$line" = "Exec=@EXEC@" ]; then
            printf 'Exec=%s\n' "$exec"
        else
            printf '%s\n' "$line"
        fi
    done <"$assets/nenrei.desktop.in" >"$tmp"
    chmod 644 "$tmp"
    mv -f "$tmp" "$desktop_file"
}

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

# Points a launcher at a target, replacing the old link through a rename like the files.
# A symlink rather than a wrapper script: /proc/self/exe resolves it to the program, so
# the data folder stays the program's own, and nothing sits between the user and it.
put_launcher() {
    local link=$1 target=$2
    local tmp_link="$bin_folder/.nenrei-install.$$"
    mkdir -p "$bin_folder"
    ln -sfn "$target" "$tmp_link"
    mv -fT "$tmp_link" "$link"
}

do_install() {
    local executable=$1 csv_executable=$2 path
    for path in "$executable" "$csv_executable"; do
        if [ ! -f "$path" ] || [ ! -x "$path" ]; then
            die "no executable program at $path"
        fi
    done
    case $program in
        *$'\n'*) die "the install folder holds a line break: $program_folder" ;;
    esac
    # Never replace a file of the user's own that happens to carry a launcher's name.
    for path in "$launcher" "$csv_launcher"; do
        if [ -e "$path" ] && [ ! -L "$path" ]; then
            die "$path exists and is not a link to the program; move it away and install again"
        fi
    done

    put_file 755 "$executable" "$program"
    put_file 755 "$csv_executable" "$csv_program"
    put_launcher "$launcher" "$program"
    put_launcher "$csv_launcher" "$csv_program"

    write_desktop_file
    put_file 644 "$assets/nenrei.metainfo.xml" "$metainfo"
    put_file 644 "$assets/nenrei.svg" "$icon_svg"
    put_file 644 "$assets/nenrei-48.png" "$icon_48"
    put_file 644 "$assets/nenrei-256.png" "$icon_256"
    refresh_caches

    echo "Installed: $program"
    echo "  launcher:   $launcher"
    echo "  CSV:        $csv_launcher"
    echo "  menu entry: $desktop_file"
    echo "  data files: $program_folder"
    case ":${PATH:-}:" in
        *":$bin_folder:"*) ;;
        *) echo "ヒント: $bin_folder が PATH にありません。名前で起動するには PATH に加えてください。 / Hint: $bin_folder is not on PATH; add it to start nenrei by name." ;;
    esac
}

do_uninstall() {
    # Also any temporary file an interrupted install left behind.
    rm -f "$program" "$csv_program" "$program_folder"/.nenrei-install.* \
        "$desktop_file" "$metainfo" "$icon_svg" "$icon_48" "$icon_256"
    local link target
    for link in "$launcher" "$csv_launcher"; do
        target=$program_folder/$(basename "$link")
        if launcher_is_ours "$link" "$target"; then
            rm -f "$link"
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
        [ $# -eq 3 ] || usage
        do_install "$2" "$3"
        ;;
    uninstall)
        [ $# -eq 1 ] || usage
        do_uninstall
        ;;
    *) usage ;;
esac
