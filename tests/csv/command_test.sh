#!/usr/bin/env bash
# The real nenrei-csv: the register beside the executable (also when started through a
# symbolic link, as the launcher does), or in the user's data folder when the program's
# folder is closed to the user; its exit statuses, and an output that fails or is closed.
#
#   command_test.sh NENREI_CSV
set -euo pipefail

scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
mkdir "$scratch/tool" "$scratch/bin"
cp "$1" "$scratch/tool/nenrei-csv"
ln -s "$scratch/tool/nenrei-csv" "$scratch/bin/nenrei-csv"
tool=$scratch/bin/nenrei-csv

# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# expect STATUS WHAT COMMAND...: runs the command with its output in $scratch/out.
expect() {
    local want=$1 what=$2 got=0
    shift 2
    "$@" >"$scratch/out" 2>"$scratch/err" || got=$?
    if [ "$got" -ne "$want" ]; then
        fail "$what: status $got, not $want"
        cat "$scratch/err" >&2
    fi
}

printf '氏名,元号,年,月,日\r\n"a,b",昭和,31,8,26\r\nc,平成,元,1,8\r\n' >"$scratch/two.csv"

expect 0 "import" "$tool" import "$scratch/two.csv"
[ -f "$scratch/tool/kojinnen.txt" ] || fail "the register is not beside the executable"
expect 0 "export" "$tool" export --on 2024-08-26
[ "$(head -c 3 "$scratch/out" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "no byte-order mark"
[ "$(wc -l <"$scratch/out")" -eq 3 ] || fail "export gave $(wc -l <"$scratch/out") lines, not 3"
grep -qF '"2","c","平成","元","1","8","1989","35"' "$scratch/out" || fail "row 2 is wrong"
expect 2 "no command" "$tool"
printf '氏名,元号,年,月,日\n"d",令和,2,3,4\n' >"$scratch/one.csv"
expect 0 "import from standard input" "$tool" import - <"$scratch/one.csv"
[ "$(stat -c %s "$scratch/tool/kojinnen.txt")" -eq 126 ] || fail "standard input was not imported"
status=0
"$tool" export >/dev/full 2>"$scratch/err" || status=$?
[ "$status" -eq 1 ] || fail "export to a full disk: status $status, not 1"
# With standard output closed the register must not be opened in its place and written.
cp "$scratch/tool/kojinnen.txt" "$scratch/kept"
status=0
"$tool" export >&- 2>"$scratch/err" || status=$?
[ "$status" -eq 1 ] || fail "export with standard output closed: status $status, not 1"
cmp -s "$scratch/tool/kojinnen.txt" "$scratch/kept" || fail "export wrote into the register"

closed=$scratch/closed
mkdir "$closed"
cp "$1" "$closed/nenrei-csv"
chmod 555 "$closed"
export XDG_DATA_HOME=$scratch/data
expect 0 "import from a closed folder" unprivileged "$closed/nenrei-csv" import "$scratch/one.csv"
[ "$(stat -c %s "$scratch/data/nenrei/kojinnen.txt")" -eq 42 ] ||
    fail "the register of a closed folder is not in the user's data folder"
expect 0 "usage" unprivileged "$closed/nenrei-csv" --help
grep -qF "データファイルのフォルダー: $scratch/data/nenrei" "$scratch/out" ||
    fail "the usage does not name the user's data folder"
# A closed folder that holds a register keeps it.
chmod 755 "$closed"
cp "$scratch/tool/kojinnen.txt" "$closed/"
chmod 555 "$closed"
expect 0 "export from a closed folder with a register" unprivileged "$closed/nenrei-csv" export
[ "$(wc -l <"$scratch/out")" -eq 4 ] || fail "the register of the closed folder was not read"

[ "$failures" -eq 0 ]
