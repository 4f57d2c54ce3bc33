#!/usr/bin/env bash
# End-to-end test on a real X server, an Xvfb of its own with a 1280x1024 screen:
# starts Velquor as a user would, checks what the title screen shows, goes on to the
# simulation with a click on "Zur Simulation", and closes the window as a window manager's
# close button would. The program must then end with exit status 0.
#
# usage: title_screen_e2e.sh VELQUOR CLOSE-WINDOW-HELPER X11-WINDOW-LIB WORK-DIR
set -euo pipefail

program=$1 close_window=$2 x11_lib=$3 work=$4
# shellcheck source=SCRIPTDIR/../../scripts/lib/x11-window.sh
source "$x11_lib"

for tool in Xvfb xwininfo import convert xdotool; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool (see the Makefile's PACKAGES)" >&2; exit 1; }
done

rm -rf "$work"
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
log=$work/velquor.log

pid=""
finish() {
    local status=$?
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null || true
        sleep 1
        kill -KILL "$pid" 2>/dev/null || true
    fi
    x11_stop_server
    if ((status != 0)) && [[ -s $log ]]; then
        echo "--- program output ---" >&2
        cat "$log" >&2
    fi
}
trap finish EXIT

x11_start_server 1280x1024x24 "$work/xvfb.log"
echo "X server on $DISPLAY"

XDG_RUNTIME_DIR=$work/runtime "$program" >"$log" 2>&1 &
pid=$!

window=$(x11_wait_for_window Velquor 15 "$pid")
echo "window $window"

# The program takes the screen's whole available area; without a window manager that is
# the whole screen.
read -r screen_w screen_h < <(x11_window_size root)
read -r window_w window_h < <(x11_window_size "$window")
if [[ "$window_w x $window_h" != "$screen_w x $screen_h" ]]; then
    echo "window is ${window_w}x${window_h}, the screen ${screen_w}x${screen_h}" >&2
    exit 1
fi

# Points in window coordinates. The title screen panel lies at (16, 8) with a size of
# 993x713; its picture at (13, 8) inside it, 966x647. The scene lies at (16, 8), 993x500.
title_screen=(
    "5,5=787878 window colour, top left"
    "1100,500=787878 window colour right of the title screen"
    "$((window_w - 5)),$((window_h - 5))=787878 window colour, bottom right"
    "21,708=555555 title screen panel below its picture"
    "21,300=555555 title screen panel left of its picture"
    "1000,300=555555 title screen panel right of its picture"
    "39,26=FFFFFF title picture"
)
x11_expect_pixels "$window" 10 "$work/title-screen.png" "${title_screen[@]}"
echo "title screen as expected"

# "Zur Simulation" lies at (440, 670) in the panel, 139x29.
xdotool mousemove --sync $((16 + 440 + 69)) $((8 + 670 + 14)) click 1
simulation=(
    "5,5=787878 window colour, top left"
    "1100,500=787878 window colour right of the scene"
    "21,300=FFFFFF scene where the title screen panel was"
    "1000,300=FFFFFF scene where the title screen panel was"
    "21,708=555555 control strip below the scene"
)
x11_expect_pixels "$window" 10 "$work/simulation.png" "${simulation[@]}"
echo "simulation shown after \"Zur Simulation\""

"$close_window" "$window"
status=0
x11_wait_for_exit "$pid" 10 || status=$?
if ((status == 124)); then
    echo "the program still runs 10 s after its window was asked to close" >&2
    exit 1
fi
pid=""
if ((status != 0)); then
    echo "the program ended with exit status $status after its window was closed" >&2
    exit 1
fi
echo "closed with exit status 0"
