#!/usr/bin/env bash
# Runs every benchmark and prints one table at the end: each figure beside the floor it
# is compared with (measured in the same run), their ratio, and the noise of both
# (min / median / max). Everything the programs print goes to a log as well.
#
#   bench/run_all.sh [build-dir]
#
# The window benchmarks start their own Xvfb on a free display and stop it again.
set -u

build=${1:-build}
bin="$build/bench"
log="$bin/bench.log"

for program in velquor_bench velquor_window_bench velquor_startup_bench velquor_startup_probe \
    bare_window; do
    if [ ! -x "$bin/$program" ]; then
        echo "missing $bin/$program: build first (make build)" >&2
        exit 1
    fi
done

: >"$log"
status=0
# Runs one benchmark and shows its output, all but the summary lines, which the table
# at the end takes from the log.
run() {
    echo "== $*" | tee -a "$log"
    "$@" 2>>"$log" | tee -a "$log" | grep -vE '^(ROW|NOTE)'
    local code=${PIPESTATUS[0]}
    if [ "$code" -ne 0 ]; then
        echo "   exited with $code (see $log)"
        status=1
    fi
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

run "$bin/velquor_bench" --benchmark_color=false
run env QT_QPA_PLATFORM=offscreen "$bin/velquor_window_bench" step
run "$bin/velquor_window_bench" --xvfb step
run "$bin/velquor_window_bench" --xvfb moon 3
run "$bin/velquor_startup_bench" 10

echo
echo "Summary (median, with min..max over the samples; ratio = figure median / floor median)"
echo "machine: $(nproc) cores, load average before $load_before, after $(cut -d' ' -f1-3 /proc/loadavg)"
awk -F'\t' '
function range(min, max) { return sprintf("%s..%s", fmt(min), fmt(max)) }
function fmt(v) { return v == "-" ? "-" : sprintf(v + 0 >= 100 ? "%.0f" : (v + 0 >= 10 ? "%.1f" : "%.3g"), v) }
BEGIN {
    printf "%-66s %-6s %9s %-15s | %-26s %9s %-15s | %6s\n", "figure", "unit", "median",
           "min..max", "floor", "median", "min..max", "ratio"
    line = sprintf("%198s", ""); gsub(/ /, "-", line); print substr(line, 1, 164)
}
$1 == "ROW" {
    ratio = ($9 == "-" || $9 + 0 == 0) ? "-" : sprintf("%.2f", $5 / $9)
    printf "%-66s %-6s %9s %-15s | %-26s %9s %-15s | %6s\n", $2, $3, fmt($5), range($4, $6),
           $7, fmt($9), range($8, $10), ratio
}
$1 == "NOTE" { notes[++n] = $2 }
END { for (i = 1; i <= n; ++i) print "* " notes[i] }
' <(grep -E '^(ROW|NOTE)' "$log")
echo "(full output: $log)"
exit $status
