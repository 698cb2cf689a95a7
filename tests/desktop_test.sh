#!/usr/bin/env bash
# The game as a desktop starts it, on a virtual display of its own: the
# window's class is the one the desktop entry names (StartupWMClass), and a
# start that fails with no terminal to print to (as from a launcher) shows a
# message box saying why, in the player's language first. A window size
# chosen on the options screen resizes the window as the player leaves it.
#   tests/desktop_test.sh GAME
set -euo pipefail
. "$(dirname "$(realpath "$0")")/virtual_display.sh"
game=$(realpath "$1")
for tool in Xvfb xdotool xprop xwininfo xlsfonts; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 0; }
done
work=$(mktemp -d)
xvfb=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display || exit 1
play_as_a_fresh_player "$work"

# Waits up to 60 s for a top-level window of that name from the game
# started last, and prints its id (the sanitizer build on a busy machine has
# taken over 20 s to open one); it gives up at once when the game ended.
# (xwininfo sees SDL's message box, which xdotool's search does not.)
find_window() {
  for _ in $(seq 600); do
    id=$(xwininfo -root -children 2>/dev/null | awk -v n="\"$1\":" '$2 == n { print $1; exit }')
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$game_pid" 2>/dev/null || { echo "(the game ended first)" >&2; return 1; }
    sleep 0.1
  done
  return 1
}

# 1. A start that fails (no game files where --data points), its stderr going
# nowhere a player sees: a message box opens, and the game waits on it.
# SDL draws its box with the X server's core fonts; a display without any
# that match its pattern cannot show one, and then the game must at least
# have tried (and said so on stderr).
box_font='-*-*-medium-r-normal--*-120-*-*-*-*-*-*'
"$game" --data "$work/nothing-here" --lang en </dev/null >/dev/null 2>"$work/err" &
game_pid=$!
if box=$(find_window "Orvelune"); then
  sleep 0.5
  kill -0 "$game_pid" 2>/dev/null || { echo "the game ended without waiting on its message box"; exit 1; }
  xdotool key --window "$box" Return 2>/dev/null
  for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$game_pid" 2>/dev/null; then echo "the message box did not close with Return"; exit 1; fi
elif grep -q "no message box could open" "$work/err" && ! xlsfonts -fn "$box_font" 2>/dev/null | grep -q .; then
  echo "note: this display has no core font for SDL's message box; the game tried to open one:"
  grep "no message box could open" "$work/err"
else
  echo "no message box for a failed start, on $DISPLAY ($(xlsfonts -fn "$box_font" 2>/dev/null | wc -l) core fonts for it)"
  cat "$work/err"
  exit 1
fi
set +e
wait "$game_pid"
status=$?
set -e
game_pid=""
[ "$status" -eq 1 ] || { echo "a failed start ended with status $status, not 1"; exit 1; }
grep -q "nothing-here" "$work/err" || { echo "stderr does not name the folder:"; cat "$work/err"; exit 1; }

# 2. The game's window carries the class the desktop entry names.
"$game" </dev/null >/dev/null 2>"$work/err2" &
game_pid=$!
window=$(find_window "Orvelune") || { echo "the game's window did not open"; cat "$work/err2"; exit 1; }
class=$(xprop -id "$window" WM_CLASS)
case "$class" in
  *'"orvelune"'*) ;;
  *) echo "the window's class is $class, not orvelune"; exit 1 ;;
esac
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""

# 3. The options screen resizes the window at once: from 1600x900 to the
# size before it in the list, 1280x720. Keys are held as a player holds them.
hold() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
  sleep 0.3
}
size_of() {
  xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}
mkdir -p "$HOME/.config/orvelune"
printf 'window_width = 1600\nwindow_height = 900\n' >"$HOME/.config/orvelune/settings.txt"
"$game" </dev/null >/dev/null 2>"$work/err3" &
game_pid=$!
window=$(find_window "Orvelune") || { echo "the game's window did not open"; cat "$work/err3"; exit 1; }
sleep 1
[ "$(size_of "$window")" = 1600x900 ] || { echo "the window opened at $(size_of "$window")"; exit 1; }
xdotool mousemove --window "$window" 200 200 windowfocus "$window" 2>/dev/null || true
# Tab opens the screen once the title's menu waits, which on a busy software
# renderer takes a while; before that these keys only move the title's
# cursor, so the player tries again.
for _ in $(seq 6); do
  sleep 3
  for key in Tab Down Down Down Left BackSpace; do hold "$key"; done
  sleep 1
  [ "$(size_of "$window")" = 1600x900 ] || break
done
size=$(size_of "$window")
[ "$size" = 1280x720 ] || { echo "the window is $size after choosing 1280x720"; cat "$work/err3" "$HOME/.config/orvelune/settings.txt"; exit 1; }
grep -qx 'window_width = 1280' "$HOME/.config/orvelune/settings.txt" ||
  { echo "the size was not saved"; cat "$HOME/.config/orvelune/settings.txt"; exit 1; }
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""
echo "desktop test passed"
