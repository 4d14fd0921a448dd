#!/usr/bin/env bash
# Starts the built editor under a real X server, as a user would, and checks its window:
# once without arguments, once with a show file on the command line.
set -euo pipefail
program=$1
checker=$2
work=$3
mkdir -p "$work"
cd "$work"

display=""
for n in $(seq 140 199); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
unset QT_QPA_PLATFORM
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# start_and_shoot TITLE SHOT [ARGS...]: waits for the window titled TITLE, then screenshots it.
start_and_shoot() {
  local title=$1 shot=$2
  shift 2
  "$program" "$@" >app.log 2>&1 &
  app=$!
  local window=""
  for _ in $(seq 300); do
    window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "FAILED: no window titled '$title'"; cat app.log; return 1; }
  sleep 1.5
  import -window root "$shot"
  kill "$app"
  wait "$app" 2>/dev/null || true
  app=""
}

echo "== start without arguments"
start_and_shoot "Velkaro Version 1.07" start.png
"$checker" start.png empty

echo "== start with a show file"
# One step: output 1 green, the rest black (512-byte record: hold 0, fade 10, last-step flag).
show="$work/green show.dmx"
{ printf '\x00\x00\x0a\x00\x20\x00\x00\x00\x00\xff\x00'; head -c 501 /dev/zero; } >"$show"
start_and_shoot "$show" show.png "$show"
"$checker" show.png show 00FF00
echo "end-to-end: 2 passed, 0 failed"
