# shellcheck shell=bash
# Shell functions for driving the real program on a virtual X display: sourced by the
# real-window test and by the screenshot script.
#
#   x11_start            starts Xvfb and a window manager, exports DISPLAY
#   x11_stop             stops them
#   x11_wait_window NAME waits until a visible window with exactly this title exists,
#                        prints its id
#   x11_wait_gone NAME   waits until no visible window has exactly this title
#   x11_wait_exit PID    waits until the process has ended (at most 30 s); fails if not
#   x11_click WIN L T W H clicks the middle of a control placed at L,T (W×H) in twips,
#                        scaled by QT_SCALE_FACTOR
#   x11_shot WIN FILE    saves a window (its client area) as PNG, once it has stopped changing
#   x11_text FILE [PSM]  prints the Japanese text read in a PNG, blanks left out
#                        (tesseract's page segmentation mode PSM, 3 by default)
#   x11_key WIN KEY      presses a key in a window

X11_PIDS=()

x11_start() {
    local fd_file
    fd_file="$(mktemp)"
    exec {x11_fd}>"$fd_file"
    Xvfb -displayfd "$x11_fd" -screen 0 "${X11_SCREEN:-1920x1440x24}" -nolisten tcp \
        >/dev/null 2>&1 &
    X11_PIDS+=($!)
    for _ in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    exec {x11_fd}>&-
    DISPLAY=":$(tr -d '\n' <"$fd_file")"
    export DISPLAY
    rm -f "$fd_file"
    openbox --sm-disable >/dev/null 2>&1 &
    X11_PIDS+=($!)
    # The window manager is ready once it has claimed the root window.
    for _ in $(seq 100); do
        wmctrl -m >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "x11_start: window manager did not start" >&2
    return 1
}

x11_stop() {
    local pid
    for pid in "${X11_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    X11_PIDS=()
}

x11_wait_window() {
    local name="$1" id
    for _ in $(seq 200); do
        for id in $(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null); do
            echo "$id"
            return 0
        done
        sleep 0.1
    done
    echo "x11_wait_window: no window \"$name\"" >&2
    return 1
}

x11_wait_gone() {
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name "^${1}\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    echo "x11_wait_gone: the window \"$1\" is still there" >&2
    return 1
}

x11_wait_exit() {
    for _ in $(seq 300); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# Callers wait for what a click or a key leads to (a window, a file) rather than for a
# while.
x11_click() {
    local win="$1" scale="${QT_SCALE_FACTOR:-1}"
    local x y
    x=$(awk -v l="$2" -v w="$4" -v s="$scale" 'BEGIN { printf "%d", (l + w / 2) / 15 * s }')
    y=$(awk -v t="$3" -v h="$5" -v s="$scale" 'BEGIN { printf "%d", (t + h / 2) / 15 * s }')
    xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
    xdotool mousemove --window "$win" "$x" "$y" click 1
}

x11_shot() {
    xdotool windowraise "$1" # another window over it would come out black
    # Painted once two pictures in a row are the same.
    local previous
    previous="$(mktemp --suffix=.png)"
    import -window "$1" "$previous"
    for _ in $(seq 50); do
        sleep 0.1
        import -window "$1" "$2"
        cmp -s "$2" "$previous" && break
        cp "$2" "$previous"
    done
    rm -f "$previous"
}

x11_text() {
    local large
    large="$(mktemp --suffix=.png)"
    # Recognition works best on large, grey text: three times the size.
    convert "$1" -resize 300% -colorspace Gray "$large"
    tesseract "$large" stdout -l jpn --psm "${2:-3}" 2>/dev/null | tr -d ' \n'
    rm -f "$large"
}

x11_key() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    xdotool key "$2"
}
