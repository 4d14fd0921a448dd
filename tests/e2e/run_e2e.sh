#!/usr/bin/env bash
# Starts the built editor under a real X server, as a user would, and checks its window:
# once without arguments, once with a show file on the command line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
checker=$2
work=$3
mkdir -p "$work"
cd "$work"

xvfb=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
source "$here/start_xvfb.sh"
start_xvfb
unset QT_QPA_PLATFORM

# start_and_check TITLE CHECK [ARGS...]: starts the program, waits for the window titled TITLE,
# then screenshots the screen until CHECK (the checker's arguments after the picture) accepts
# it; a slow machine (or the sanitizer build) may need a few seconds to paint.
start_and_check() {
  local title=$1 check=$2
  shift 2
  "$program" "$@" >app.log 2>&1 &
  app=$!
  local window=""
  for _ in $(seq 900); do
    window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "FAILED: no window titled '$title'"; cat app.log; return 1; }
  local ok=""
  for _ in $(seq 20); do
    sleep 1
    import -window root shot.png
    # shellcheck disable=SC2086
    "$checker" shot.png $check >check.log 2>&1 && { ok=1; break; }
  done
  cat check.log
  kill "$app"
  wait "$app" 2>/dev/null || true
  app=""
  [ -n "$ok" ] || { echo "FAILED: the screenshot never passed: $check"; return 1; }
}

echo "== start without arguments"
start_and_check "Velkaro Version 1.07" empty

echo "== start with a show file"
# One step: output 1 green, the rest black (512-byte record: hold 0, fade 10, last-step flag).
show="$work/green show.dmx"
{ printf '\x00\x00\x0a\x00\x20\x00\x00\x00\x00\xff\x00'; head -c 501 /dev/zero; } >"$show"
start_and_check "$show" "show 00FF00" "$show"
echo "end-to-end: 2 passed, 0 failed"
