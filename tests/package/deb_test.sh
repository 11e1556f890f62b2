#!/usr/bin/env bash
# The Debian package, unpacked into a temporary root that is then made read-only, and its
# programs started from there through their launchers by a user who cannot write to it (root
# without its capabilities): the data go to the user's own data folder. Also checks that the
# package names its dependencies, and its menu entry and launchers.
# Usage: deb_test.sh PACKAGE.deb
set -euo pipefail

deb="$(realpath "$1")"
scratch="$(mktemp -d)"
pid=''
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    chmod -R u+w "$scratch"
    rm -rf "$scratch"
}
trap cleanup EXIT

# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"
depends_on() { dpkg-deb -f "$deb" Depends | grep -q "$1"; }

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
chmod -R a-w "$root"
check "the package depends on Qt's widgets" depends_on libqt6widgets6
check "the package depends on libcsv" depends_on libcsv3
check "the menu entry names the packaged program" \
    grep -qx 'Exec=/usr/lib/nenrei/nenrei' "$root/usr/share/applications/nenrei.desktop"
for program in nenrei nenrei-csv; do
    check "/usr/bin/$program leads to /usr/lib/nenrei/$program" \
        test "$(readlink -f "$root/usr/bin/$program")" = "$root/usr/lib/nenrei/$program"
done

export HOME="$scratch/home" QT_QPA_PLATFORM=offscreen
unset XDG_DATA_HOME
mkdir -p "$HOME"
data="$HOME/.local/share/nenrei"
printf '氏名,元号,年,月,日\r\n山田太郎,昭和,31,8,26\r\n' >"$scratch/one.csv"
check "nenrei-csv imports" unprivileged "$root/usr/bin/nenrei-csv" import "$scratch/one.csv"
check "the register is in the user's data folder" test "$(stat -c %s "$data/kojinnen.txt")" -eq 42
check "the export reads it back" grep -q '山田太郎' <(unprivileged "$root/usr/bin/nenrei-csv" export)
check "the usage names the user's data folder" \
    grep -qF "データファイルのフォルダー: $data" <(unprivileged "$root/usr/bin/nenrei-csv" --help)

# The window program, headless, makes the same data folder as it starts.
rm -r "$data"
unprivileged "$root/usr/bin/nenrei" >"$scratch/nenrei.log" 2>&1 &
pid=$!
for _ in $(seq 300); do
    [ -d "$data" ] || [ ! -d "/proc/$pid" ] && break
    sleep 0.1
done
check "the window program keeps running" test -d "/proc/$pid"
check "the window program makes the user's data folder" test -d "$data"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
