#!/usr/bin/env bash
# The options screen played through the runner as a player plays it: opened
# from the title with Tab, the effects volume turned down, the "walk up" key
# rebound to D, left with Backspace; the settings file is written back with
# the player's comments and unknown lines kept and the new values in place.
# Then a stage played with those settings: D walks the player and the old
# key no longer does. Escape still ends the program with the
# screen open, and the pad opens it with Y and leaves it with B.
#   tests/options_screen_test.sh SIM RUN_DIR
set -euo pipefail
sim=$(realpath "$1")
run_dir=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy

settings=$work/settings.txt
printf '# my own settings\nmusic_volume = 100   # loud\ncolour = blue\nkey.up = UP\n' >"$settings"

# 1. Title (faded in by frame 85), Tab, effects volume down one step, the
# keys page, "walk up" (its first row) bound to D, back twice.
cat >"$work/options.txt" <<'SCRIPT'
@120 press TAB
@+10 press DOWN
@+10 press LEFT
@+10 press DOWN
@+10 press DOWN
@+10 press DOWN
@+10 press DOWN
@+10 press RETURN
@+10 press RETURN
@+10 press D
@+10 press BACK
@+10 press BACK
SCRIPT
"$sim" --chdir "$run_dir" --scene title --settings "$settings" --input "$work/options.txt" \
  --frames 330 >"$work/options.log" 2>&1 || { echo "the options run failed"; cat "$work/options.log"; exit 1; }
for line in '# my own settings' 'music_volume = 100   # loud' 'colour = blue' 'key.up = D' \
  'effects_volume = 90'; do
  grep -qxF "$line" "$settings" || { echo "the saved settings lack: $line"; cat "$settings"; exit 1; }
done
[ "$(grep -c '^key.up' "$settings")" -eq 1 ] || { echo "key.up written twice"; exit 1; }
grep -qx 'key.flip = M' "$settings" || { echo "a key that was not rebound moved"; cat "$settings"; exit 1; }

# 2. Stage 1 with those settings: how far along x (the way "up" walks at the
# stage's start) the player goes while a key is held.
walked() {
  local key=$1
  printf '@300 key %s down\n@420 key %s up\n' "$key" "$key" >"$work/walk.txt"
  "$sim" --chdir "$run_dir" --stage 0 --settings "$settings" --input "$work/walk.txt" \
    --frames 430 --dump "$work/walk.json" --dump-at 299,429 >"$work/walk.log" 2>&1 || {
    echo "the stage run failed"; cat "$work/walk.log"; exit 1; }
  python3 - "$work/walk.json" <<'READ'
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1]) if l.strip()]
print("%.3f" % (lines[-1]["player"]["pos"][0] - lines[0]["player"]["pos"][0]))
READ
}
by_d=$(walked D)
by_up=$(walked UP)
python3 -c "import sys; sys.exit(0 if float('$by_d') > 1 else 1)" ||
  { echo "D did not walk the player (moved $by_d)"; exit 1; }
python3 -c "import sys; sys.exit(0 if abs(float('$by_up')) < 0.01 else 1)" ||
  { echo "the old key still walks the player (moved $by_up)"; exit 1; }

# 3. Escape with the screen open ends the run at once; the pad's Y opens the
# screen and B leaves it without harm.
printf '@120 press TAB\n@140 press ESCAPE\n' >"$work/escape.txt"
"$sim" --chdir "$run_dir" --scene title --settings "$settings" --input "$work/escape.txt" \
  --frames 1000 --dump "$work/escape.json" >"$work/escape.log" 2>&1 || {
  echo "the Escape run failed"; cat "$work/escape.log"; exit 1; }
frames=$(grep -c . "$work/escape.json")
[ "$frames" -lt 150 ] || { echo "Escape did not end the run ($frames frames)"; exit 1; }
printf '@120 padpress Y\n@140 padpress B\n@160 quit\n' >"$work/pad.txt"
"$sim" --chdir "$run_dir" --scene title --settings "$settings" --input "$work/pad.txt" \
  --frames 200 >"$work/pad.log" 2>&1 || { echo "the pad run failed"; cat "$work/pad.log"; exit 1; }
echo "options screen test passed"
