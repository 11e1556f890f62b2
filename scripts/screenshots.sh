#!/usr/bin/env bash
# Takes pictures of the four screens from the real program on a virtual X display:
# the calculation screen after a calculation, the menu, the display screen during a
# listing and the update screen; then of 名簿表 (nenrei-meibo beside the program) on the same
# register: the table, a ready-made view, the table at 200 % and the first page of its PDF.
# Usage: screenshots.sh PATH_TO_NENREI OUT_DIR [SCALE]   (SCALE 2 for 200 %)
set -euo pipefail

exe="$(realpath "$1")"
out="$(mkdir -p "$2" && cd "$2" && pwd)"
export QT_SCALE_FACTOR="${3:-1}"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts/x11-session.sh
. "$here/x11-session.sh"
# shellcheck source=scripts/register-records.sh
. "$here/register-records.sh"

work="$(mktemp -d)"
cleanup() {
    x11_stop
    rm -rf "$work"
}
trap cleanup EXIT

# xdotool maps each character that has no key to a spare key first; one character at a
# time, so that none is lost while the key map changes.
type_text() {
    local text="$1" i
    for ((i = 0; i < ${#text}; i++)); do
        xdotool type --delay 100 "${text:i:1}"
        sleep 0.1
    done
}

# A program folder with a last entry and a register of fourteen people.
cp "$exe" "$work/nenrei"
printf '"%s","%s","31","08","05"\r\n' "$(printf 山田太郎 | iconv -t CP932)" \
    "$(printf 昭和 | iconv -t CP932)" >"$work/kojinfl.txt"
people=("山田太郎 昭和 31 8 5" "佐藤花子 平成 3 12 24" "鈴木一郎 昭和 48 4 1"
    "髙橋美咲 令和 2 7 7" "田中健 昭和 22 1 15" "伊藤さくら 平成 15 3 3"
    "渡辺誠 大正 14 11 3" "小林由美 昭和 60 10 10" "加藤翔太 平成 9 5 5"
    "吉田恵子 昭和 35 2 29" "山口大輔 平成 1 6 30" "松本明美 昭和 52 9 9"
    "井上直樹 平成 20 8 8" "木村千尋 令和 4 1 1")
append_records "$work/kojinnen.txt" "${people[@]}"

x11_start
QT_QPA_PLATFORM=xcb "$work/nenrei" &
pid=$!

keisan="$(x11_wait_window "年齢計算　Ver 1.0")"
x11_click "$keisan" 3360 5040 2535 495 # 年齢計算実行
x11_shot "$keisan" "$out/keisan.png"

x11_click "$keisan" 6120 480 1335 495 # メニューへ
menyu="$(x11_wait_window "年齢計算メニュー　Ver 1.0")"
x11_shot "$menyu" "$out/menyu.png"

x11_click "$menyu" 1440 2640 1815 495 # 読出: the listing stops at its first page prompt
hyouji="$(x11_wait_window "表示")"
x11_shot "$hyouji" "$out/hyouji.png"
xdotool key Return # OK on the prompt: the listing shows its last page and ends
x11_wait_gone "年齢計算"

x11_click "$menyu" 1440 3360 1815 495 # 更新
kousin="$(x11_wait_window "更新")"
x11_click "$kousin" 360 1200 735 375 # 番号
type_text "4"
x11_click "$kousin" 1200 1200 2175 375 # 氏名
type_text "髙橋美咲"
for box in "3480 令和" "4440 2" "5400 7" "6360 7"; do
    read -r left text <<<"$box"
    x11_click "$kousin" "$left" 1200 855 375
    type_text "$text"
done
x11_shot "$kousin" "$out/kousin.png"

x11_click "$kousin" 6000 1800 1215 375 # メニューへ
x11_click "$menyu" 1440 4080 1815 495  # 終了
wait "$pid"

meibo="$(dirname "$exe")/nenrei-meibo"
if [ -x "$meibo" ]; then
    on=2026-12-08
    QT_QPA_PLATFORM=xcb "$meibo" --on "$on" "$work/kojinnen.txt" &
    pid=$!
    win="$(x11_wait_window "名簿表")"
    x11_shot "$win" "$out/meibo.png"
    xdotool key alt+v 2 # 表示 → 敬老の日に 75 歳以上
    sleep 0.5
    x11_shot "$win" "$out/meibo-keirou.png"
    wmctrl -i -c "$win"
    wait "$pid"

    QT_SCALE_FACTOR=2 QT_QPA_PLATFORM=xcb "$meibo" --on "$on" "$work/kojinnen.txt" &
    pid=$!
    win="$(x11_wait_window "名簿表")"
    x11_shot "$win" "$out/meibo-200.png"
    wmctrl -i -c "$win"
    wait "$pid"

    "$meibo" --pdf "$work/meibo.pdf" --on "$on" "$work/kojinnen.txt"
    pdftoppm -png -r 70 -f 1 -l 1 -singlefile "$work/meibo.pdf" "$out/meibo-pdf"
fi
echo "screenshots in $out"
