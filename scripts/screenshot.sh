#!/usr/bin/env bash
# Makes docs/screenshot.png: the running scene of Velquor, half a second after a
# "gemeinsamer Start" of all five columns. The program runs on an X server of its own
# (Xvfb, 1280x1024) and is driven from outside with the mouse, as a user would.
#
# usage: scripts/screenshot.sh [VELQUOR [OUTPUT.png]]
#   VELQUOR     the built program (default: build/src/velquor; `make build` makes it)
#   OUTPUT.png  where the picture goes (default: docs/screenshot.png)
# Needs Xvfb, xwininfo, ImageMagick and xdotool (all in the Makefile's PACKAGES).
# VELQUOR_JUMP_DELAY (seconds, default 0.5) says how long after the start the picture is taken.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

program=$(realpath "${1:-$root/build/src/velquor}")
output=$(realpath -m "${2:-$root/docs/screenshot.png}")
delay=${VELQUOR_JUMP_DELAY:-0.5}
if [[ ! -x $program ]]; then
    echo "no program at $program: run \`make build\` first" >&2
    exit 1
fi
for tool in Xvfb xwininfo import convert xdotool; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool (run \`make deps\`)" >&2; exit 1; }
done
# shellcheck source=SCRIPTDIR/lib/x11-window.sh
source "$root/scripts/lib/x11-window.sh"

work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
pid=""
finish() {
    local status=$?
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    x11_stop_server
    if ((status != 0)) && [[ -s $work/velquor.log ]]; then
        echo "--- program output ---" >&2
        cat "$work/velquor.log" >&2
    fi
    rm -rf "$work"
}
trap finish EXIT

x11_start_server 1280x1024x24 "$work/xvfb.log"

QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime "$program" >"$work/velquor.log" 2>&1 &
pid=$!
window=$(x11_wait_for_window Velquor 20 "$pid")

# Window points: the title screen panel at (16, 8), the scene at (16, 8) with a size of
# 993x500, the control strip below it with its panels at y = 640.
click() { xdotool mousemove --sync "$1" "$2" click 1; }

x11_expect_pixels "$window" 10 "$work/shot.png" "21,300=555555 title screen panel"
click $((16 + 440 + 69)) $((8 + 670 + 14))          # "Zur Simulation"
x11_expect_pixels "$window" 10 "$work/shot.png" "21,300=FFFFFF scene"

# Tick the three simulators next to Earth and Moon (already ticked), then start them all.
for x in 105 141 177; do
    click $((344 + x + 8)) $((640 + 16 + 8))
done
click $((344 + 32 + 80)) $((640 + 40 + 12))         # "gemeinsamer Start"
sleep "$delay"

# The layout ends at (1009, 721); keep a margin as wide as the one on the left.
x11_capture "$window" "$work/shot.png"
mkdir -p "$(dirname "$output")"
convert "$work/shot.png" -crop 1025x737+0+0 +repage -strip "png:$output"
echo "wrote $output"

# "ENDE"; the window closes once the jumps in the air have landed.
click $((576 + 312 + 44)) $((640 + 40 + 12))
x11_wait_for_exit "$pid" 30 || echo "the program did not end by itself: $?" >&2
pid=""
