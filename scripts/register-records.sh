# shellcheck shell=bash
# Sourced by the scripts that need a register to show: writes records in the register's own
# form, so that they need not build the program's CSV import first.
#   append_records FILE "氏名 元号 年 月 日"...   numbers the records from 1 on
# The widths are those of the field table in core/kojin_record.h.

# Field bytes in code page 932, filled up with spaces to `width` bytes.
register_field() {
    local bytes
    bytes="$(printf '%s' "$1" | iconv -f UTF-8 -t CP932)"
    LC_ALL=C printf '%s%*s' "$bytes" $(($2 - $(LC_ALL=C && echo ${#bytes}))) ''
}

append_records() {
    local file="$1" n=0 person name era year month day
    shift
    for person in "$@"; do
        n=$((n + 1))
        read -r name era year month day <<<"$person"
        {
            register_field "$n" 5
            register_field "$name" 20
            register_field "$era" 5
            register_field "$year" 4
            register_field "$month" 4
            register_field "$day" 4
        } >>"$file"
    done
}
