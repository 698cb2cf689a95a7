# Sourced by the tests that open windows.
#   start_virtual_display
# starts a virtual display (Xvfb, 1400x900) on a display number the server
# finds free itself (-displayfd: it skips numbers whose lock or socket, file
# or abstract, another server holds, which a check of /tmp alone cannot
# see), waits until it answers, exports DISPLAY and sets xvfb to its process
# id, which the caller's cleanup kills. It returns 1, with the server's own
# words on stderr, when no server answered within 30 s.
#   play_as_a_fresh_player WORK
# gives what runs next a home of its own under WORK (no settings, no light
# files, no lock from another run), silent sound, and the X11 window system.

start_virtual_display() {
  local dir number=""
  dir=$(mktemp -d)
  xvfb=""
  Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp 3>"$dir/number" >"$dir/log" 2>&1 &
  xvfb=$!
  for _ in $(seq 300); do
    number=$(head -n 1 "$dir/number" 2>/dev/null)
    [ -n "$number" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$number" ]; then
    echo "the virtual display did not start:" >&2
    cat "$dir/log" >&2
    kill "$xvfb" 2>/dev/null
    xvfb=""
    rm -rf "$dir"
    return 1
  fi
  rm -rf "$dir"
  export DISPLAY=:$number
  # The server writes its number once it listens; a client's first request
  # proves it serves (where xwininfo is there to ask).
  command -v xwininfo >/dev/null || return 0
  for _ in $(seq 100); do
    xwininfo -root >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "the virtual display :$number does not answer" >&2
  return 1
}

play_as_a_fresh_player() {
  export HOME=$1/home XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_RUNTIME_DIR=$1 ALSOFT_DRIVERS=null
  unset SDL_VIDEODRIVER WAYLAND_DISPLAY
  mkdir -p "$HOME"
}
