#!/usr/bin/env bash
# Frames of the picture's own size go straight into the window: the runner's
# --record window (the game's own backend and window, on a virtual display
# with Mesa's software renderer) on the title and on a stage, each played for
# a few seconds and closed with Escape, reports no frame copied through the
# off-screen picture.
#   tests/window_frames_test.sh SIM RUN_DIR
set -euo pipefail
sim=$(realpath "$1")
run_dir=$2
for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 0; }
done
work=$(mktemp -d)
xvfb=""
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for n in $(seq 90 109); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then
    Xvfb ":$n" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=:$n
    break
  fi
done
[ -n "$xvfb" ] || { echo "skipped: no free display number"; exit 0; }
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
export HOME=$work/home XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_RUNTIME_DIR=$work ALSOFT_DRIVERS=null
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
mkdir -p "$HOME"

# Plays one recording (extra arguments: where it starts) and checks its report.
record() {
  local name=$1
  shift
  (cd "$run_dir" && exec "$sim" --record "$work/$name.replay" "$@") >"$work/$name.out" 2>&1 &
  sim_pid=$!
  local window
  window=$(timeout 60 xdotool search --sync --name '^Orvelune' | head -1) || {
    echo "$name: no window"; cat "$work/$name.out"; exit 1; }
  sleep 4
  xdotool key --window "$window" Escape 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$sim_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$sim_pid" 2>/dev/null; then echo "$name: Escape did not end the run"; exit 1; fi
  wait "$sim_pid" || true
  sim_pid=""
  local line
  line=$(grep '^window frames:' "$work/$name.out") || {
    echo "$name: no report of the window's frames"; cat "$work/$name.out"; exit 1; }
  echo "$name: $line"
  local frames copied
  frames=$(echo "$line" | sed -E 's/^window frames: ([0-9]+),.*/\1/')
  copied=$(echo "$line" | sed -E 's/.*picture: ([0-9]+)$/\1/')
  [ "$frames" -gt 30 ] || { echo "$name: only $frames frames were shown"; exit 1; }
  [ "$copied" -eq 0 ] || { echo "$name: $copied of $frames frames were copied into the window"; exit 1; }
}

record title
record stage1 --stage 0
echo "every window frame went straight into the window"
