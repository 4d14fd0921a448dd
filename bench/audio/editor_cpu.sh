#!/usr/bin/env bash
# The editor's processor time while its preview plays a show with a song, beside the same show
# without one, under an Xvfb of its own (the song plays to the system's usual output, or
# silently without one). Usage: bench/audio/editor_cpu.sh BUILD [SECONDS]
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tests/e2e/start_xvfb.sh"
scratch=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$scratch"' EXIT
start_xvfb
export XDG_RUNTIME_DIR=$scratch
gst-launch-1.0 -q audiotestsrc wave=pink-noise num-buffers=2000 samplesperbuffer=1024 ! \
  audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! filesink location="$scratch/song.mp3"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
measure() {
  "$build/app/Velkaro" "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep 3
  local before after
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  after=$(cpu_ticks "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v a="$after" -v b="$before" -v t="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN { printf "%.2f", 100 * (a - b) / t / s }'
}
echo "editor with a song:    $(measure --audio "$scratch/song.mp3") % of a core"
echo "editor without a song: $(measure) % of a core (reference)"
