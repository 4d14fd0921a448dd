# Sourced by the end-to-end tests: start_xvfb starts an X server of their own and exports its
# DISPLAY; the caller kills "$xvfb" when done.
# -noreset: the server would otherwise reset whenever its last program closes, and a program
# started at that moment could find no display.
# Another run may pick the same free display at the same moment; when this server does not
# become the one answering on it, the next display is tried.
start_xvfb() {
  local n
  for n in $(seq 140 199); do
    { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
      kill -0 "$xvfb" 2>/dev/null || break
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 &&
        [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.1
    done
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=""
  done
  echo "FAILED: no X display could be started"
  return 1
}
