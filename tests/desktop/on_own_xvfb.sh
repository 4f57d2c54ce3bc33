#!/usr/bin/env bash
# Runs a command on an X server of its own with the xcb platform, and ends the server
# afterwards; exits with the command's status. The screen is 1280x1024 at 24 bits unless
# VELQUOR_XVFB_SCREEN says otherwise (e.g. 2560x1600x24).
#
# usage: on_own_xvfb.sh X11-WINDOW-LIB COMMAND [ARGUMENT ...]
set -uo pipefail

x11_lib=$1
shift
# shellcheck source=SCRIPTDIR/../../scripts/lib/x11-window.sh
source "$x11_lib"

log=$(mktemp)
trap 'x11_stop_server; rm -f "$log"' EXIT
x11_start_server "${VELQUOR_XVFB_SCREEN:-1280x1024x24}" "$log" || exit 1
QT_QPA_PLATFORM=xcb "$@"
