#!/usr/bin/env bash
# The figures of live output, in one command from the repository's top folder:
#
#     bench/live/live_output_figures.sh [BUILD_FOLDER] [SECONDS]
#
# Builds the program, velkaro_bench_live and velkaro_live_harness in BUILD_FOLDER (default
# build-bench next to the sources; an existing build folder is reused), then
#   1. velkaro_bench_live: what publishing an edit to the playback engine costs the window's
#      thread (goal: under 20 us for 100 steps, under 1 ms for 10,000), what a preview tick
#      costs with and without live output, and what a second client sees while the window's
#      thread is blocked for two seconds (longest gap between frames, goal under 25 ms; step
#      intervals, goal 100 ms +- 2 ms), in the window against a private olad;
#   2. velkaro_live_harness: the built program under an Xvfb of its own with a private olad,
#      as a user runs it; the step timing a second OLA client sees for a hold chase of
#      100 ms steps (goal: p99 deviation under 2 ms) and the program's CPU use with and
#      without live output (goal: under 3 % of one core), SECONDS per run (default 20).
#
# Needs olad, Xvfb and libola-dev (scripts/setup.sh installs them). Run as root, olad runs as
# the user olad and everything in a loopback-only network namespace; otherwise on loopback in
# the host's network. Takes about three minutes. Timings depend on what else the machine does:
# the load average is printed before and after.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$source/build-bench}
seconds=${2:-20}

cmake -S "$source" -B "$build" >/dev/null
cmake --build "$build" -j2 --target Velkaro velkaro_bench_live velkaro_live_harness >/dev/null

echo "== cost on the window's thread"
"$build/bench/velkaro_bench_live"
echo
echo "== the program under Xvfb"
"$build/bench/velkaro_live_harness" "$build/app/Velkaro" "$seconds"
