#!/usr/bin/env bash
# Part of startup_figures.sh: starts the editor (PROGRAM) on a 100-step show of 20 outputs, does
# 20 edits through the window as a user would (eight paint strokes, four row generators, four
# undos and four redos) and prints the peak resident set before and after them. Expects DISPLAY
# to be an X server without a window manager; WORK is a scratch folder.
set -euo pipefail
program=$1
work=$2

# 100 records of 512 bytes: fade 1 s, 20 coloured outputs, the rest 0.
show="$work/hundred steps.dmx"
: >"$show"
for ((row = 0; row < 100; ++row)); do
  flags=0
  ((row == 0)) && flags=16
  ((row == 99)) && flags=32
  bytes=$(printf '\\x00\\x00\\x0a\\x00\\x%02x\\x00\\x00\\x00' "$flags")
  for ((g = 0; g < 20; ++g)); do
    bytes+=$(printf '\\x%02x\\x%02x\\x%02x' $(((row * 7 + g * 13) % 256)) $((row * 2 + 1)) $((g * 11 + 1)))
  done
  { printf '%b' "$bytes"; head -c $((504 - 60)) /dev/zero; } >>"$show"
done

home=$(mktemp -d "$work/edits.XXXX")
HOME=$home XDG_CONFIG_HOME=$home/.config "$program" "$show" >/dev/null 2>&1 &
app=$!
trap 'kill "$app" 2>/dev/null || true' EXIT
window=""
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAILED: no window"; exit 1; }
sleep 1
peak() { echo "$(($(awk '/^VmHWM/ { print $2 }' "/proc/$app/status") / 1024)) MiB"; }
echo "peak RSS with the 100-step show loaded: $(peak)"

# Places inside the window (1105 x 809): the grid, then buttons of the command panel.
click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.3
}
stroke() {
  xdotool mousemove --window "$window" "$1" "$2" mousedown 1 \
    mousemove --window "$window" "$3" "$4" mouseup 1
  sleep 0.3
}
copy_last_step() { click 1029 189; }
brighten() { click 1065 577; }
undo() { click 1001 653; }
redo() { click 1065 653; }

stroke 20 20 200 120
stroke 300 50 500 400
stroke 100 300 120 600
brighten
stroke 600 100 800 200
undo
undo
redo
copy_last_step
stroke 40 500 700 520
undo
redo
brighten
stroke 700 300 860 640
stroke 200 200 210 210
undo
redo
copy_last_step
stroke 10 10 850 620
undo
sleep 1
echo "peak RSS after 20 edits: $(peak) (goal: under 60 MiB)"
