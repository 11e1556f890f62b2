#!/usr/bin/env bash
# Each layer includes only the layers below it; fails naming every include that does not.
#   platform/   platform/ (what differs between systems)
#   storage/    platform/ and storage/ (the storage engine)
#   core/       core/, and of platform/ only the code page, UTF-8, UserError and the date:
#               the program's rules, without files
#   datafiles/  core/, storage/, platform/ and datafiles/ (the commands on the data files)
# Usage: check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

allowed() {
    case "$1" in
    platform/*) [[ $2 == platform/* ]] ;;
    storage/*) [[ $2 == platform/* || $2 == storage/* ]] ;;
    core/*)
        [[ $2 == core/* || $2 == platform/cp932.h || $2 == platform/utf8.h ||
            $2 == platform/user_error.h || $2 == platform/date.h ]]
        ;;
    datafiles/*) [[ $2 == platform/* || $2 == storage/* || $2 == core/* || $2 == datafiles/* ]] ;;
    *) true ;;
    esac
}

broken=0
while IFS= read -r file; do
    while IFS= read -r included; do
        if ! allowed "$file" "$included"; then
            echo "$file includes $included, which its layer may not" >&2
            broken=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find platform storage core datafiles -name '*.h' -o -name '*.cpp' | sort)
[ "$broken" -eq 0 ] || exit 1
echo "every layer includes only the layers below it"
