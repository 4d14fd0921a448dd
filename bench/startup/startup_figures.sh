#!/usr/bin/env bash
# Start-up time and memory of the editor, side by side with a bare Qt window of the same size
# and, when it is installed, QLC+ (Debian package qlcplus), in one command from the repository's
# top folder:
#
#     bench/startup/startup_figures.sh [BUILD_FOLDER] [STARTS]
#
# Builds Velkaro and velkaro_bare_window in BUILD_FOLDER (default build-bench next to the
# sources; an existing build folder is reused), starts an Xvfb of its own and starts each
# program STARTS times (default 5) after one start that is not counted (it only fills the page
# cache). Each start gets an empty home folder. For each start it prints
#   window: milliseconds from the exec to `xdotool search --onlyvisible --pid` finding the
#           program's mapped window (polled, so a few milliseconds late at worst);
#   peak:   the peak resident set (VmHWM) one second after the window appeared.
# Goals for the editor: window under 300 ms, peak under 50 MiB. VELKARO_PROGRAM measures another
# build of the editor instead (an older one, say) beside the same yardsticks.
#
# Then it does 20 edits of a 100-step show in the running editor (paint strokes, a row
# generator, undo and redo, through xdotool) and prints the peak afterwards (goal: under
# 60 MiB). Needs Xvfb and xdotool (scripts/setup.sh installs them). Timings depend on what else
# the machine does: the load average is printed before and after.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$source/build-bench}
starts=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
program=${VELKARO_PROGRAM:-$build/app/Velkaro}

cmake -S "$source" -B "$build" >/dev/null
cmake --build "$build" -j2 --target Velkaro velkaro_bare_window >/dev/null

source "$source/tests/e2e/start_xvfb.sh"
xvfb=""
homes=$(mktemp -d)
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$homes"
}
trap cleanup EXIT
start_xvfb

now_ms() { echo $(($(date +%s%N) / 1000000)); }
peak_kib() { awk '/^VmHWM/ { print $2 }' "/proc/$1/status"; }

# Starts "$@" with an empty home; sets pid, and window_ms to the milliseconds until its window
# maps.
start_program() {
  local home
  home=$(mktemp -d "$homes/home.XXXX")
  local begin
  begin=$(now_ms)
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
    XDG_CACHE_HOME=$home/.cache "$@" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "FAILED: $1 ended before its window appeared" >&2; exit 1; }
    (($(now_ms) - begin < 30000)) || { echo "FAILED: no window from $1" >&2; exit 1; }
  done
  window_ms=$(($(now_ms) - begin))
}

stop_program() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
}

measure() {
  local name=$1
  shift
  start_program "$@"
  sleep 1
  stop_program
  local times="" peaks=""
  for _ in $(seq "$starts"); do
    start_program "$@"
    sleep 1
    times+="$window_ms "
    peaks+="$(($(peak_kib "$pid") / 1024)) "
    stop_program
  done
  printf '%-22s window after (ms): %-30s peak RSS (MiB): %s\n' "$name" "$times" "$peaks"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
measure "Velkaro" "$program"
if command -v qlcplus >/dev/null; then
  measure "QLC+ $(dpkg-query -W -f='${Version}' qlcplus 2>/dev/null)" qlcplus
else
  echo "QLC+                   not installed (apt-get install qlcplus), left out"
fi
measure "bare Qt 6 window" "$build/bench/velkaro_bare_window"

echo
echo "== 20 edits of a 100-step show"
"$here/edit_session.sh" "$program" "$homes"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
