# shellcheck shell=bash
# Shell functions for driving Velquor's window on an X server, as a user sees it.
# Sourced by scripts/screenshot.sh and by the end-to-end test in tests/desktop/.
# Needs: Xvfb (xvfb), xwininfo (x11-utils), import and convert (ImageMagick).

# Starts an X server of its own with one screen of $1 (e.g. 1280x1024x24), its messages
# going to the file $2, and points DISPLAY at it; XVFB_PID is its process. The server takes
# the first free display number itself, so servers started at the same time never collide.
x11_start_server() {
    local screen=$1 log=$2 number_file deadline=$((SECONDS + 10))
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$number_file" 2>"$log" &
    XVFB_PID=$!
    until grep -q '^[0-9][0-9]*$' "$number_file"; do
        if ! kill -0 "$XVFB_PID" 2>/dev/null || ((SECONDS >= deadline)); then
            echo "Xvfb did not start:" >&2
            cat "$log" >&2
            rm -f "$number_file"
            return 1
        fi
        sleep 0.1
    done
    DISPLAY=":$(head -n 1 "$number_file")"
    export DISPLAY
    rm -f "$number_file"
}

# Ends the X server that x11_start_server started, if it still runs.
x11_stop_server() {
    if [[ -n ${XVFB_PID:-} ]] && kill -0 "$XVFB_PID" 2>/dev/null; then
        kill -TERM "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    XVFB_PID=""
}

# Prints the id of the first viewable top-level window whose caption starts with $1.
# Prints nothing and fails if there is none (yet).
x11_find_window() {
    local prefix=$1 id
    for id in $(xwininfo -root -tree 2>/dev/null |
                awk -v p="\"$prefix" 'index($0, p) { print $1 }'); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            printf '%s\n' "$id"
            return 0
        fi
    done
    return 1
}

# Waits up to $2 seconds for a window whose caption starts with $1; prints its id.
# Fails early if the process $3 (optional) has ended.
x11_wait_for_window() {
    local prefix=$1 timeout=$2 pid=${3:-} deadline=$((SECONDS + $2)) id
    while ((SECONDS < deadline)); do
        if id=$(x11_find_window "$prefix"); then
            printf '%s\n' "$id"
            return 0
        fi
        if [[ -n $pid ]] && ! kill -0 "$pid" 2>/dev/null; then
            echo "the program ended before its window appeared" >&2
            return 1
        fi
        sleep 0.2
    done
    echo "no window captioned \"$prefix...\" within $timeout s" >&2
    return 1
}

# Prints the width and height of window $1 (or of the screen for "root"), e.g. "1280 1024".
x11_window_size() {
    if [[ $1 == root ]]; then xwininfo -root; else xwininfo -id "$1"; fi |
        awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w, h }'
}

# Captures the window $1 into the PNG file $2.
x11_capture() {
    import -silent -window "$1" "png:$2"
}

# Prints the colours of the listed points of the PNG file $1 as RRGGBB, one a line.
# Each further argument is a point "x,y".
x11_pixels() {
    local image=$1 format="" point
    shift
    for point in "$@"; do
        format+="%[hex:u.p{$point}]\n"
    done
    convert "$image" -depth 8 -format "$format" info:
}

# Checks the window $1 against a table of expected colours until they all match or
# $2 seconds have passed; the screenshot stays in $3. Each further argument is
# "x,y=RRGGBB what", e.g. "5,5=787878 window colour". On a timeout it lists every point
# that differs and fails.
x11_expect_pixels() {
    local window=$1 timeout=$2 shot=$3 deadline=$((SECONDS + $2)) row i mismatches
    shift 3
    local -a points=() colours=() names=() actual=()
    for row in "$@"; do
        points+=("${row%%=*}")
        colours+=("$(printf '%s' "${row#*=}" | cut -d' ' -f1 | tr 'a-f' 'A-F')")
        names+=("${row#*=* }")
    done
    while :; do
        if x11_capture "$window" "$shot"; then
            mapfile -t actual < <(x11_pixels "$shot" "${points[@]}")
            mismatches=0
            for i in "${!points[@]}"; do
                [[ ${actual[i]:-} == "${colours[i]}" ]] || mismatches=$((mismatches + 1))
            done
            ((mismatches == 0)) && return 0
        fi
        ((SECONDS < deadline)) || break
        sleep 0.2
    done
    echo "pixels of window $window after $timeout s (screenshot: $shot):" >&2
    for i in "${!points[@]}"; do
        [[ ${actual[i]:-} == "${colours[i]}" ]] && continue
        echo "  at (${points[i]}) ${names[i]}: expected #${colours[i]}, got #${actual[i]:-?}" >&2
    done
    return 1
}

# Waits up to $2 seconds for process $1 (a child of this shell) to end and returns its
# exit status; returns 124 if it is still running then.
x11_wait_for_exit() {
    local pid=$1 deadline=$((SECONDS + $2))
    while kill -0 "$pid" 2>/dev/null; do
        ((SECONDS < deadline)) || return 124
        sleep 0.2
    done
    local status=0
    wait "$pid" || status=$?
    return "$status"
}
