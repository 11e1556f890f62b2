#!/usr/bin/env bash
# Two programs register 500 people each into one register at the same time: the register
# must end with 1,000 whole records numbered 1 to 1,000, none lost and none mixed.
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
echo "1000 records, numbered 1 to 1000"
