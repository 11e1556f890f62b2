#!/usr/bin/env bash
# Starts 名簿表 in real X11 windows (Xvfb with a window manager) on a register of three
# people, and checks what a user sees and does:
#   - the table shows the names and the computed columns in Japanese that text recognition
#     reads back (a missing CJK font draws empty boxes, which read as nothing);
#   - the menu's accelerators reach a ready-made view, which moves the as-of date;
#   - at 200 % the window still fits the screen and its captions still read;
#   - closing the window ends the program with status 0.
# Usage: meibo_real_window_test.sh PATH_TO_NENREI_MEIBO
set -euo pipefail

exe="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts/x11-session.sh
. "$here/../../scripts/x11-session.sh"
# shellcheck source=scripts/register-records.sh
. "$here/../../scripts/register-records.sh"

work="$(mktemp -d)"
cleanup() {
    x11_stop
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

append_records "$work/kojinnen.txt" "山田太郎 昭和 31 8 26" "佐藤花子 昭和 13 2 11" "鈴木一郎 平成 31 4 1"
cp "$work/kojinnen.txt" "$work/kojinnen.before"

# Reads a window back and checks each caption in it.
readable() {
    local win="$1" shot="$2" text caption
    shift 2
    x11_shot "$win" "$work/$shot.png"
    text="$(x11_text "$work/$shot.png" 11)"
    for caption in "$@"; do
        case "$text" in
        *"$caption"*) ;;
        *) fail "$shot: \"$caption\" is not readable (read: $text)" ;;
        esac
    done
}

# Closes the window as a user does and waits for the program's end.
close_and_wait() {
    local win="$1" pid="$2" status=0
    wmctrl -i -c "$win"
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "the program is still running after its window was closed"
        kill "$pid"
    fi
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

x11_start
unset QT_SCALE_FACTOR
QT_QPA_PLATFORM=xcb "$exe" --on 2025-04-01 "$work/kojinnen.txt" 2>"$work/stderr" &
pid=$!
win="$(x11_wait_window "名簿表")" || {
    cat "$work/stderr" >&2
    exit 1
}
readable "$win" table 山田太郎 佐藤花子 鈴木一郎 生年月日 長寿祝い 米寿 古希 小1 令和7年4月1日

# Alt+V opens 表示, 2 chooses 敬老の日に 75 歳以上: 15 September 2025, and 佐藤花子 alone.
x11_key "$win" alt+v
x11_key "$win" 2
readable "$win" keirou 令和7年9月15日 佐藤花子
case "$(x11_text "$work/keirou.png" 11)" in
*山田太郎*) fail "the view still shows 山田太郎 (68 on 敬老の日)" ;;
esac
close_and_wait "$win" "$pid"

# At 200 % the window keeps to the screen and its captions read whole.
QT_SCALE_FACTOR=2 QT_QPA_PLATFORM=xcb "$exe" --on 2025-04-01 "$work/kojinnen.txt" \
    2>>"$work/stderr" &
pid=$!
win="$(x11_wait_window "名簿表")" || exit 1
read -r width height < <(xwininfo -id "$win" |
    awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w, h }')
read -r screen_width screen_height < <(xwininfo -root |
    awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w, h }')
[ "$width" -le "$screen_width" ] && [ "$height" -le "$screen_height" ] ||
    fail "at 200 % the window is ${width}x$height on a ${screen_width}x$screen_height screen"
readable "$win" scaled 基準日 定型の表示 今年の長寿祝いのみ 条件を消す 山田太郎
close_and_wait "$win" "$pid"

if grep -v -e '^QStandardPaths' "$work/stderr" | grep -q .; then
    fail "the program wrote errors: $(cat "$work/stderr")"
fi
cmp -s "$work/kojinnen.txt" "$work/kojinnen.before" || fail "名簿表 changed the register"
if [ "$failures" -ne 0 ]; then
    cp "$work"/*.png "${TMPDIR:-/tmp}/" 2>/dev/null || true
    exit 1
fi
echo "名簿表: table readable, a view by the keyboard, fits at 200 %, closed cleanly"
