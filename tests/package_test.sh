#!/usr/bin/env bash
# The Debian package as a player gets it: it passes lintian with no error,
# installs with apt, the installed game (no options, started from another
# folder) opens its window on a virtual display, plays and ends with Escape,
# the runner plays the title from the installed files, and removing the
# package (purge) leaves none of its files behind, only the player's own.
# It installs and removes the package on this machine, so it needs root (or
# sudo), and it will not replace an orvelune installed before it.
#   tests/package_test.sh DEB RUNNER
set -euo pipefail
. "$(dirname "$(realpath "$0")")/virtual_display.sh"
deb=$(realpath "$1")
runner=$(realpath "$2")
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif sudo -n true 2>/dev/null; then
  SUDO=(sudo -n)
else
  echo "skipped: installing the package needs root or sudo"
  exit 0
fi
for tool in Xvfb xdotool lintian; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 0; }
done
if dpkg-query -W -f='${Status}' orvelune 2>/dev/null | grep -q "install ok installed"; then
  echo "skipped: orvelune is already installed on this machine and the test would remove it"
  exit 0
fi

work=$(mktemp -d)
xvfb=""
game_pid=""
installed=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  [ -n "$installed" ] && DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get purge -y -qq orvelune >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

# 1. lintian finds no error (warnings and notes are listed).
lintian --fail-on error "$deb" 2>&1 | grep -v "running with root privileges" || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || { echo "lintian reports errors in $deb"; exit 1; }

# 2. apt installs it with its dependencies; the files are where Debian puts
# a game's.
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "$deb" \
  >"$work/apt.log" 2>&1 || { echo "apt could not install $deb"; cat "$work/apt.log"; exit 1; }
installed=yes
# The package's own files (its folders may be shared, as the icons' are).
dpkg-query -L orvelune | while read -r f; do [ -f "$f" ] && echo "$f"; done >"$work/files"
[ "$(wc -l <"$work/files")" -gt 100 ] || { echo "dpkg lists too few files for orvelune"; exit 1; }
for f in /usr/games/orvelune /usr/share/games/orvelune/Resource_Orvelune/Field/stage_1.csv \
  /usr/share/applications/io.github.orvelune.Orvelune.desktop \
  /usr/share/metainfo/io.github.orvelune.Orvelune.metainfo.xml \
  /usr/share/man/man6/orvelune.6.gz /usr/share/doc/orvelune/copyright \
  /usr/share/icons/hicolor/256x256/apps/io.github.orvelune.Orvelune.png; do
  [ -e "$f" ] || { echo "not installed: $f"; exit 1; }
done
PATH=$PATH:/usr/games command -v orvelune >/dev/null || { echo "orvelune is not on the path"; exit 1; }
/usr/games/orvelune --version | grep -q '^Orvelune ' || { echo "the installed game has no version"; exit 1; }

# 3. The installed game, started as a launcher starts it, from another
# folder with no options, on a virtual display: its window opens, it plays,
# and Escape on the title ends it with status 0.
start_virtual_display || exit 1
play_as_a_fresh_player "$work"
# The player's own file, which removing the package must leave as it is.
mkdir -p "$HOME/.config/orvelune" "$work/elsewhere"
printf '# my settings\nmusic_volume = 70\n' >"$HOME/.config/orvelune/settings.txt"
cp "$HOME/.config/orvelune/settings.txt" "$work/settings.before"
(cd "$work/elsewhere" && exec /usr/games/orvelune) </dev/null >/dev/null 2>"$work/err" &
game_pid=$!
window=$(timeout 60 xdotool search --sync --name '^Orvelune' | head -1) || {
  echo "the installed game's window did not open"; cat "$work/err"; exit 1; }
sleep 3
kill -0 "$game_pid" 2>/dev/null || { echo "the installed game ended by itself"; cat "$work/err"; exit 1; }
xdotool key --window "$window" Escape 2>/dev/null || true
for _ in $(seq 200); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$game_pid" 2>/dev/null; then echo "Escape did not end the installed game"; exit 1; fi
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || { echo "the installed game ended with status $status"; cat "$work/err"; exit 1; }

# 4. The runner plays the installed files' title and draws it.
"$runner" --chdir /usr/share/games/orvelune --scene title --frames 90 \
  --screenshot "89:$work/title.png" >"$work/runner.log" 2>&1 || {
  echo "the runner could not play the installed title"; cat "$work/runner.log"; exit 1; }
[ -s "$work/title.png" ] || { echo "the runner drew no picture of the installed title"; exit 1; }

# 5. Purged, nothing of the package is left; the player's file is.
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get purge -y -qq orvelune >"$work/apt.log" 2>&1 || {
  echo "apt could not remove orvelune"; cat "$work/apt.log"; exit 1; }
installed=""
left=0
while read -r f; do
  [ ! -e "$f" ] || { echo "left after removal: $f"; left=1; }
done <"$work/files"
for d in /usr/share/games/orvelune /usr/share/doc/orvelune; do
  [ ! -e "$d" ] || { echo "left after removal: $d"; left=1; }
done
[ "$left" -eq 0 ] || exit 1
cmp -s "$work/settings.before" "$HOME/.config/orvelune/settings.txt" || {
  echo "removing the package changed the player's settings file"; exit 1; }
echo "package test passed"
