# Sourced by the tests that open windows.
#   start_virtual_display FIRST LAST
# starts a virtual display (Xvfb, 1400x900) on the first free number from
# FIRST to LAST, exports DISPLAY and sets xvfb to its process id, which the
# caller's cleanup kills; it returns 1 when no number is free.
#   play_as_a_fresh_player WORK
# gives what runs next a home of its own under WORK (no settings, no light
# files, no lock from another run), silent sound, and the X11 window system.

start_virtual_display() {
  local n
  xvfb=""
  for n in $(seq "$1" "$2"); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb=$!
      export DISPLAY=:$n
      break
    fi
  done
  [ -n "$xvfb" ] || return 1
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && return 0
    sleep 0.1
  done
  return 0
}

play_as_a_fresh_player() {
  export HOME=$1/home XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_RUNTIME_DIR=$1 ALSOFT_DRIVERS=null
  unset SDL_VIDEODRIVER WAYLAND_DISPLAY
  mkdir -p "$HOME"
}
