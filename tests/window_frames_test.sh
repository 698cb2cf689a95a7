#!/usr/bin/env bash
# Frames of the picture's own size go straight into the window: the runner's
# --record window (the game's own backend and window, on a virtual display
# with Mesa's software renderer) on the title and on a stage, each played for
# a fixed number of frames, ends cleanly (under the sanitizers too) and
# reports no frame copied through the off-screen picture.
#   tests/window_frames_test.sh SIM RUN_DIR
set -euo pipefail
. "$(dirname "$(realpath "$0")")/virtual_display.sh"
sim=$(realpath "$1")
run_dir=$2
for tool in Xvfb; do
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
start_virtual_display || exit 1
play_as_a_fresh_player "$work"

# Plays one recording of a fixed number of frames (extra arguments: where it
# starts; however slow the machine, the run shows every frame) and checks
# that it ended cleanly and how its frames reached the window.
frames=120
record() {
  local name=$1
  shift
  (cd "$run_dir" && exec "$sim" --record "$work/$name.replay" --frames $frames "$@") \
    >"$work/$name.out" 2>&1 &
  sim_pid=$!
  for _ in $(seq 1800); do kill -0 "$sim_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$sim_pid" 2>/dev/null; then
    echo "$name: the run did not end within 180 s"; cat "$work/$name.out"; exit 1
  fi
  local status=0
  wait "$sim_pid" || status=$?
  sim_pid=""
  [ "$status" -eq 0 ] || { echo "$name: the run ended with status $status"; cat "$work/$name.out"; exit 1; }
  local line
  line=$(grep '^window frames:' "$work/$name.out") || {
    echo "$name: no report of the window's frames"; cat "$work/$name.out"; exit 1; }
  echo "$name: $line"
  local shown copied
  shown=$(echo "$line" | sed -E 's/^window frames: ([0-9]+),.*/\1/')
  copied=$(echo "$line" | sed -E 's/.*picture: ([0-9]+)$/\1/')
  [ "$shown" -eq $frames ] || { echo "$name: $shown frames were shown, not $frames"; exit 1; }
  [ "$copied" -eq 0 ] || { echo "$name: $copied of $shown frames were copied into the window"; exit 1; }
}

record title
record stage1 --stage 0
echo "every window frame went straight into the window"
