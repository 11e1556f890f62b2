#!/usr/bin/env bash
# Starts the real program in a real X11 window (Xvfb with a window manager), in a
# temporary program folder, and checks what a user would see first:
#   - the calculation window appears with its caption;
#   - its client area is 532 × 660 logical pixels (7980 × 9900 twips);
#   - its Japanese captions are drawn with a CJK font: text recognition reads them back
#     (a missing font draws empty boxes, which read as nothing);
#   - closing the window with the window manager's close ends the process cleanly.
# Usage: real_window_test.sh PATH_TO_NENREI
set -euo pipefail

exe="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts/x11-session.sh
. "$here/../../scripts/x11-session.sh"

work="$(mktemp -d)"
cleanup() {
    x11_stop
    rm -rf "$work"
}
trap cleanup EXIT

# The program keeps its files beside the executable: run a copy in the temporary folder,
# with a last entry (山田太郎, 昭和 31/08/05) so that the boxes show Japanese text too.
cp "$exe" "$work/nenrei"
printf '"\x8E\x52\x93\x63\x91\xBE\x98\x59","\x8F\xBA\x98\x61","31","08","05"\r\n' \
    >"$work/kojinfl.txt"
cp "$work/kojinfl.txt" "$work/kojinfl.before"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

x11_start
unset QT_SCALE_FACTOR
QT_QPA_PLATFORM=xcb "$work/nenrei" 2>"$work/stderr" &
pid=$!

title="年齢計算　Ver 1.0"
win="$(x11_wait_window "$title")" || {
    cat "$work/stderr" >&2
    exit 1
}

size="$(xwininfo -id "$win" | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w "x" h }')"
[ "$size" = "532x660" ] || fail "client area is $size, not 532x660"

x11_shot "$win" "$work/window.png"
text="$(x11_text "$work/window.png")"
for caption in 氏名の入力 生年月日入力 年齢計算実行 現在の西暦年月日入力 山田太郎; do
    case "$text" in
    *"$caption"*) ;;
    *) fail "caption \"$caption\" is not readable in the window (read: $text)" ;;
    esac
done

# The keyboard as a desktop user drives it: to the menu, Tab to "検　　　索" and Enter;
# Escape on the search box searches for every name of the empty register, so the page
# prompt (a box without a title of its own, which must show the program's name) and the
# not-found message come; Enter closes them. The display screen starts on its button, so
# Enter takes it back to the menu, whose close box ends the program.
x11_click "$win" 6120 480 1335 495
menu="$(x11_wait_window "年齢計算メニュー　Ver 1.0")" || fail "no menu after メニューへ"
x11_key "$menu" Tab
x11_key "$menu" Return
search="$(x11_wait_window "検索氏名入力")" || fail "Enter on 検　　　索 did not search"
x11_key "$search" Escape
prompt="$(x11_wait_window "年齢計算")" || fail "the page prompt does not show the program's name"
x11_key "$prompt" Return
missing="$(x11_wait_window "誤り警告")" || fail "no not-found message"
x11_key "$missing" Return
grid="$(x11_wait_window "表示")" || fail "no display screen"
x11_key "$grid" Return
x11_wait_gone "表示" || fail "Enter on the display screen did not take it back to the menu"
win="$menu"

wmctrl -i -c "$win"
if ! x11_wait_exit "$pid"; then
    fail "the program is still running after its window was closed"
    kill "$pid"
fi
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
if grep -v -e '^QStandardPaths' "$work/stderr" | grep -q .; then
    fail "the program wrote errors: $(cat "$work/stderr")"
fi
cmp -s "$work/kojinfl.txt" "$work/kojinfl.before" || fail "starting and closing changed kojinfl.txt"

if [ "$failures" -ne 0 ]; then
    cp "$work/window.png" "${TMPDIR:-/tmp}/real_window_failure.png" 2>/dev/null || true
    exit 1
fi
echo "real window: 532x660, captions readable, keyboard to the search and back, closed cleanly"
