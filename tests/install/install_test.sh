#!/usr/bin/env bash
# Installs, reinstalls and uninstalls the program for a throw-away user whose home folder
# name holds spaces and characters that shells and desktop entries treat specially.
#
#   install_test.sh INSTALL_SCRIPT BUILD_FOLDER EXECUTABLE CSV_EXECUTABLE MEIBO_EXECUTABLE
#
# Nothing outside a temporary folder is written: HOME points into it and the XDG
# variables that would lead elsewhere are unset.
set -euo pipefail

if [ $# -ne 5 ]; then
    echo "usage: $0 INSTALL_SCRIPT BUILD_FOLDER EXECUTABLE CSV_EXECUTABLE MEIBO_EXECUTABLE" >&2
    exit 2
fi
install_script=$(realpath "$1")
build=$(realpath "$2")
executable=$(realpath "$3")
csv_executable=$(realpath "$4")
meibo_executable=$(realpath "$5")

for tool in desktop-file-validate timeout pgrep cmp; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "FAIL: $tool is missing (scripts/install-deps.sh installs it)" >&2
        exit 1
    fi
done

scratch=$(mktemp -d)
busy_pid=
cleanup() {
    if [ -n "$busy_pid" ]; then
        kill -KILL "$busy_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

export HOME="$scratch/home of テスト \$USER 100% & 'q'"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_STATE_HOME
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen

assets=$(dirname "$install_script")/../desktop
share="$HOME/.local/share"
program="$share/nenrei/nenrei"
launcher="$HOME/.local/bin/nenrei"
csv_launcher="$HOME/.local/bin/nenrei-csv"
meibo_launcher="$HOME/.local/bin/nenrei-meibo"
desktop_file="$share/applications/nenrei.desktop"
meibo_desktop_file="$share/applications/nenrei-meibo.desktop"
manifest="$share/nenrei/install_manifest.txt"
# Installed file and the file it must be a copy of.
declare -A copies=(
    ["$program"]="$executable"
    ["$share/nenrei/nenrei-csv"]="$csv_executable"
    ["$share/metainfo/nenrei.metainfo.xml"]="$assets/nenrei.metainfo.xml"
    ["$share/icons/hicolor/scalable/apps/nenrei.svg"]="$assets/nenrei.svg"
    ["$share/icons/hicolor/48x48/apps/nenrei.png"]="$assets/nenrei-48.png"
    ["$share/icons/hicolor/256x256/apps/nenrei.png"]="$assets/nenrei-256.png"
    ["$share/nenrei/nenrei-meibo"]="$meibo_executable"
    ["$share/metainfo/nenrei-meibo.metainfo.xml"]="$assets/nenrei-meibo.metainfo.xml"
    ["$share/icons/hicolor/scalable/apps/nenrei-meibo.svg"]="$assets/nenrei-meibo.svg"
    ["$share/icons/hicolor/48x48/apps/nenrei-meibo.png"]="$assets/nenrei-meibo-48.png"
    ["$share/icons/hicolor/256x256/apps/nenrei-meibo.png"]="$assets/nenrei-meibo-256.png"
)
installed=("${!copies[@]}" "$launcher" "$csv_launcher" "$meibo_launcher" "$desktop_file"
    "$meibo_desktop_file" "$manifest")

# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"

# Runs the install script; its output goes to $scratch/out, and to stderr when it fails.
run_script() {
    if ! "$install_script" "$@" >"$scratch/out" 2>&1; then
        cat "$scratch/out" >&2
        return 1
    fi
}

fails() {
    ! "$@"
}

no_errors_or_warnings() {
    ! grep -Eq "error|warning" <<<"$1"
}

# The manifest names each installed file in the data folder, and nothing else.
manifest_lists_installed() {
    diff <(sort "$manifest") \
        <(printf '%s\n' "${!copies[@]}" "$desktop_file" "$meibo_desktop_file" "$manifest" |
            sort) >&2
}

same_data_files() {
    cmp -s "$scratch/expected/kojinnen.txt" "$share/nenrei/kojinnen.txt" &&
        cmp -s "$scratch/expected/kojinfl.txt" "$share/nenrei/kojinfl.txt"
}

# Reads back the program path from the Exec line as a desktop environment does: first the
# string-value escapes, then the quoting of the Exec syntax, then the doubled percent signs.
# An escape either step does not define gives "<invalid>".
exec_path() {
    local value unescaped='' c i
    value=$(sed -n 's/^Exec=//p' "${1:-$desktop_file}")
    for ((i = 0; i < ${#value}; i++)); do
        c=${value:i:1}
        if [ "$c" = "\\" ]; then
            i=$((i + 1))
            case ${value:i:1} in
                "\\") c="\\" ;;
                s) c=' ' ;;
                *) printf '<invalid>'; return ;;
            esac
        fi
        unescaped+=$c
    done
    value=$unescaped
    if [[ $value == \"*\" ]]; then
        unescaped=''
        for ((i = 1; i < ${#value} - 1; i++)); do
            c=${value:i:1}
            case $c in
                "\\")
                    i=$((i + 1))
                    c=${value:i:1}
                    case $c in
                        '"' | '`' | '$' | "\\") ;;
                        *) printf '<invalid>'; return ;;
                    esac
                    ;;
                '"' | '`' | '$') printf '<invalid>'; return ;;
            esac
            unescaped+=$c
        done
        value=$unescaped
    fi
    printf '%s' "${value//%%/%}"
}

# Starts the launcher for a few seconds; it must still be running when the time is up
# (timeout's status 124) and the process must be the installed program.
launch_check() {
    local timeout_pid child='' status=0
    timeout 5 "$launcher" >"$scratch/launch.log" 2>&1 &
    timeout_pid=$!
    local running=
    for _ in $(seq 100); do
        child=$(pgrep -P "$timeout_pid" || true)
        [ -n "$child" ] && running=$(readlink "/proc/$child/exe" 2>/dev/null || true)
        [ "$running" = "$program" ] && break
        sleep 0.1
    done
    wait "$timeout_pid" || status=$?
    check "the launcher runs the installed program (it ran: ${running:-nothing})" \
        test "$running" = "$program"
    check "the program keeps running until stopped (status $status)" test "$status" -eq 124
    if [ "$status" -ne 124 ]; then
        cat "$scratch/launch.log" >&2
    fi
}

# --- First install -----------------------------------------------------------------------
check "install succeeds" run_script install "$build"
for path in "${!copies[@]}"; do
    check "$path is a copy of ${copies[$path]}" cmp -s "${copies[$path]}" "$path"
done
check "the program is executable" test -x "$program"
check "the launcher is executable" test -x "$launcher"
check "the desktop entry is in place" test -f "$desktop_file"
check "the install manifest lists exactly the installed files" manifest_lists_installed
check "a hint when $HOME/.local/bin is not on PATH" grep -q "PATH" "$scratch/out"

validation=$(desktop-file-validate "$desktop_file" 2>&1) || validation="error: status $? $validation"
check "the desktop entry validates without errors or warnings: $validation" \
    no_errors_or_warnings "$validation"
check "Exec names the installed program (got: $(exec_path))" test "$(exec_path)" = "$program"
validation=$(desktop-file-validate "$meibo_desktop_file" 2>&1) || validation="error: status $? $validation"
check "名簿表's desktop entry validates without errors or warnings: $validation" \
    no_errors_or_warnings "$validation"
check "名簿表's Exec names its installed program (got: $(exec_path "$meibo_desktop_file"))" \
    test "$(exec_path "$meibo_desktop_file")" = "$share/nenrei/nenrei-meibo"
check "the 名簿表 launcher runs it" test "$(readlink "$meibo_launcher")" = "$share/nenrei/nenrei-meibo"

launch_check

# --- Reinstall over an install that is in use, with data files beside the program ----------
mkdir -p "$scratch/expected"
# Two 42-byte records and a last entry, in code page 932 with CR LF.
printf '    1\x8e\x52\x93\x63\x91\xbe\x98\x59            \x8f\xba\x98\x61   40   5  12' \
    >"$scratch/expected/kojinnen.txt"
printf '    2Suzuki Hanako       \x95\xbd\x90\xac    3  11   3' >>"$scratch/expected/kojinnen.txt"
printf '"\x8e\x52\x93\x63","\x8f\xba\x98\x61","40","5","12"\r\n' >"$scratch/expected/kojinfl.txt"
cp "$scratch/expected/kojinnen.txt" "$scratch/expected/kojinfl.txt" "$share/nenrei/"

# An older install of the program, in use while the new one goes in.
printf 'older install' >>"$program"
printf 'older install' >>"$share/nenrei/nenrei-csv"
"$program" >/dev/null 2>&1 &
busy_pid=$!
# Running the older program before the reinstall starts, and still running after it.
running=
for _ in $(seq 100); do
    running=$(readlink "/proc/$busy_pid/exe" 2>/dev/null || true)
    [ "$running" = "$program" ] && break
    sleep 0.1
done
check "the older program is running before the reinstall (it runs: ${running:-nothing})" \
    test "$running" = "$program"
check "reinstall succeeds while the program runs" run_script install "$build"
check "the older program still runs after the reinstall" kill -0 "$busy_pid"
kill -KILL "$busy_pid" 2>/dev/null || true
wait "$busy_pid" 2>/dev/null || true
busy_pid=
check "reinstall replaces the program" cmp -s "$executable" "$program"
check "reinstall replaces nenrei-csv" cmp -s "$csv_executable" "$share/nenrei/nenrei-csv"
check "reinstall keeps the data files byte for byte" same_data_files
# The CSV launcher reads the register beside the program: a header and two rows.
csv_rows=$("$csv_launcher" export --on 2024-01-01 | wc -l) || csv_rows="status $?"
check "nenrei-csv exports the installed register (got $csv_rows lines)" test "$csv_rows" = 3

# --- Uninstall ---------------------------------------------------------------------------
# Uninstall follows the manifest, whatever it lists.
listed_only="$share/icons/hicolor/64x64/apps/nenrei.png"
mkdir -p "$(dirname "$listed_only")"
touch "$listed_only"
printf '%s\n' "$listed_only" >>"$manifest"
installed+=("$listed_only")
check "uninstall succeeds" run_script uninstall
for path in "${installed[@]}"; do
    check "uninstall removes $path" test ! -e "$path" -a ! -L "$path"
done
check "uninstall keeps the data files byte for byte" same_data_files
check "uninstall says where the data files are" grep -qF "$share/nenrei" "$scratch/out"
check "a second uninstall succeeds" run_script uninstall
check "a second uninstall keeps the data files" same_data_files

# Without data files the program folder goes too.
rm "$share/nenrei/kojinnen.txt" "$share/nenrei/kojinfl.txt"
check "install after uninstall succeeds" run_script install "$build"
check "uninstall succeeds" run_script uninstall
check "uninstall removes the empty program folder" test ! -e "$share/nenrei"

# A file of the user's own where a launcher would go is neither replaced nor removed.
mkdir -p "$HOME/.local/bin"
for own in "$launcher" "$csv_launcher" "$meibo_launcher"; do
    printf '#!/bin/sh\necho mine\n' >"$own"
    cp "$own" "$scratch/own-launcher"
    check "install refuses to replace $own" \
        fails run_script install "$build" 2>/dev/null
    check "install leaves nothing else behind when it refuses" test ! -e "$program"
    run_script uninstall || true
    check "the user's own $own survives install and uninstall" cmp -s "$scratch/own-launcher" "$own"
    rm "$own"
done

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
