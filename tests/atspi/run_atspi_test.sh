#!/usr/bin/env bash
# Starts the program on a private X server and accessibility bus, as a screen-reader user
# meets it, and reads a result field after a jump. Usage: run_atspi_test.sh PROGRAM
set -u
program=$1
here=$(dirname "$(readlink -f "$0")")
exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash -c '
    set -u
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    sleep 1
    LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb \
        "$1" >/dev/null 2>&1 &
    app=$!
    timeout 60 /usr/bin/python3 "$2/read_result.py"
    status=$?
    kill $app $launcher 2>/dev/null
    wait $app 2>/dev/null
    exit $status
' bash "$program" "$here"
