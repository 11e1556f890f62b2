#!/usr/bin/env bash
# Two programs register 500 people each into one register at the same time: the register
# must end with 1,000 whole records numbered 1 to 1,000, none lost and none mixed, and the
# two must have taken turns (their records interleave) rather than one after the other.
set -euo pipefail
appender=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

"$appender" "$folder" 500 A >/dev/null &
first=$!
"$appender" "$folder" 500 B >/dev/null &
second=$!
wait "$first"
wait "$second"
"$appender" "$folder" --check 1000
# The first letter of each name (A or B) in record order: the turns between the two.
turns=$(fold -b -w 42 "$folder/kojinnen.txt" | cut -c6 | uniq | wc -l)
if [ "$turns" -lt 3 ]; then
    echo "the two programs did not register at the same time ($turns runs of names)" >&2
    exit 1
fi
echo "1000 records, numbered 1 to 1000, in $turns turns of the two programs"
