#!/usr/bin/env bash
# The Windows build under Wine, on a virtual X display:
# - the zipped game, unpacked into a fresh folder, starts, shows the title
#   (a screenshot of the display, kept as build-windows/smoke/game.png),
#   and quits on Escape with status 0; started again, the options screen
#   resizes its window at once;
# - the Windows runner draws the title and each stage's start through
#   Direct3D 9 like the OpenGL references (the picture tests' rule);
# - the Windows runner verifies every replay with the hashes recorded on
#   Linux;
# - the tests of the Windows services and the Direct3D 9 device pass, and
#   every reader takes its fuzz corpus in its stride (when the build was
#   made with ./scripts/build-windows.sh --tests).
# Skipped, saying so, when Wine cannot start here.
#   tests/windows_smoke.sh            (after ./scripts/build-windows.sh [--tests])
set -euo pipefail
. "$(dirname "$(realpath "$0")")/virtual_display.sh"
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-windows
zip=$(ls "$out"/Orvelune-*-windows-x64.zip)
sim=$out/orvelune-sim.exe

work=$(mktemp -d)
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Sound goes to ALSA's null device, so DirectSound really plays (silently)
# on a machine without a sound card.
export HOME=$work/home
mkdir -p "$HOME"
printf 'pcm.!default {\n  type null\n}\n' >"$HOME/.asoundrc"
xvfb=""
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A virtual display of our own (Wine's first start in a new prefix must see
# it, or the prefix has no display to open windows on).
start_virtual_display || true
if ! command -v wine >/dev/null || ! command -v Xvfb >/dev/null || ! timeout 120 wine cmd /c exit 0 >/dev/null 2>&1; then
  echo "SKIPPED: Wine (or Xvfb) cannot start on this machine; the Windows build was not run"
  exit 0
fi

mkdir -p "$out/smoke"

echo "== the zipped game starts, shows the title and quits on Escape"
python3 -c "import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])" "$zip" "$work"
game=$work/Orvelune
(cd "$game" && exec timeout 120 wine orvelune.exe >"$work/game.log" 2>&1) &
game_pid=$!
window=$(timeout 60 xdotool search --sync --name '^Orvelune' | head -1) || {
  echo "the game's window did not open"; cat "$work/game.log"; exit 1; }
# The title fades in (more slowly on a busy machine): the display must come
# to show the English title (no locale is set) as the runner draws it.
shown=no
for _ in $(seq 20); do
  sleep 2
  xwd -root -silent >"$work/shot.xwd"
  python3 tests/pictures.py xwd "$work/shot.xwd" "$out/smoke/game.png"
  if python3 tests/pictures.py shows "$out/smoke/game.png" tests/data/pictures/en_title.png; then
    shown=yes
    break
  fi
done
if [ "$shown" != yes ]; then
  echo "the game's window never showed the title (the last screenshot: $out/smoke/game.png)"
  exit 1
fi
# The title bar shows the frame rate, as on Linux.
name=$(xdotool getwindowname "$window")
echo "window title: $name"
[[ "$name" =~ ^Orvelune\ :\ [0-9]+\.[0-9]$ ]] || { echo "no frame rate in the window's title"; exit 1; }
xdotool key --window "$window" Escape 2>/dev/null || xdotool key Escape
status=0
wait "$game_pid" || status=$?
if [ "$status" -ne 0 ]; then
  echo "orvelune.exe ended with status $status"
  cat "$work/game.log"
  exit 1
fi
if grep -q "without sound" "$work/game.log"; then
  echo "orvelune.exe found no DirectSound output:"
  grep -v '^ALSA' "$work/game.log"
  exit 1
fi
echo "orvelune.exe played with DirectSound and quit with status 0"

echo "== the options screen resizes the window at once"
# The first start wrote the settings in the prefix; a smaller window than
# any preset, then the options screen's next size (1280x720), chosen with
# keys held as a player holds them.
settings=$(find "$WINEPREFIX/drive_c/users" -path '*Orvelune/settings.txt' | head -1)
[ -n "$settings" ] || { echo "the game wrote no settings in the prefix"; exit 1; }
sed -i 's/^window_width = .*/window_width = 960/; s/^window_height = .*/window_height = 540/' "$settings"
(cd "$game" && exec timeout 180 wine orvelune.exe >"$work/game2.log" 2>&1) &
game_pid=$!
window=$(timeout 60 xdotool search --sync --name '^Orvelune' | head -1) || {
  echo "the game's window did not open again"; cat "$work/game2.log"; exit 1; }
size_of() {
  xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}
hold() {
  xdotool keydown --window "$window" "$1" 2>/dev/null || xdotool keydown "$1"
  sleep 0.15
  xdotool keyup --window "$window" "$1" 2>/dev/null || xdotool keyup "$1"
  sleep 0.3
}
sleep 2
before=$(size_of "$window")
echo "window at the start: $before"
for _ in $(seq 8); do
  sleep 3
  for key in Tab Down Down Down Right BackSpace; do hold "$key"; done
  sleep 1
  [ "$(size_of "$window")" = "$before" ] || break
done
after=$(size_of "$window")
echo "window: $before, then $after"
grep -q '^window_width = 1280' "$settings" ||
  { echo "the size was not saved"; cat "$settings" "$work/game2.log"; exit 1; }
# Whatever frame Wine gives the window, its inside grew by 320x180.
grown=$(( ${after%x*} - ${before%x*} ))x$(( ${after#*x} - ${before#*x} ))
[ "$grown" = 320x180 ] || { echo "the window grew by $grown, not 320x180"; exit 1; }
xdotool key --window "$window" Escape 2>/dev/null || xdotool key Escape
wait "$game_pid" || { echo "orvelune.exe did not quit cleanly after the resize"; cat "$work/game2.log"; exit 1; }

echo "== the Windows runner draws as the OpenGL device does"
cd "$game"
shots=("title:-1" "stage0:0" "stage1:1" "stage2:2" "stage3:3")
for shot in "${shots[@]}"; do
  name=${shot%%:*}
  stage=${shot#*:}
  args=(--frames 240 --screenshot "239:$out/smoke/$name.png")
  [ "$stage" -ge 0 ] && args+=(--stage "$stage")
  timeout 300 wine "$sim" "${args[@]}" >/dev/null
  python3 "$root/tests/pictures.py" compare "$out/smoke/$name.png" \
    "$root/tests/data/pictures/$name.png"
done
# Text: GDI's glyphs, laid out with FreeType's advances, in the same places.
echo "@100 press RETURN" >"$work/page.txt"
timeout 300 wine "$sim" --lang en --scene opening --input "$work/page.txt" --frames 111 \
  --screenshot "110:$out/smoke/en_opening.png" >/dev/null
python3 "$root/tests/pictures.py" compare "$out/smoke/en_opening.png" \
  "$root/tests/data/pictures/en_opening.png"

echo "== the Windows runner verifies the replays recorded on Linux"
for stage in 1 2 3 4; do
  timeout 600 wine "$sim" --stage $((stage - 1)) --verify "$root/tests/data/stage$stage.replay"
done
timeout 900 wine "$sim" --verify "$root/tests/data/full_game.replay"
echo "all replays verified"

if [ -e "$out/orvelune_win32_tests.exe" ]; then
  echo "== the Windows services and device"
  timeout 600 wine "$out/orvelune_win32_tests.exe" --gtest_brief=1
  echo "== the readers over their fuzz corpora, on Windows"
  for target in "$out"/fuzz/fuzz_*.exe; do
    name=$(basename "$target" .exe)
    [ -d "$root/fuzz/corpus/$name" ] || continue
    echo -n "$name: "
    timeout 600 wine "$target" "$root/fuzz/corpus/$name"
  done
fi
