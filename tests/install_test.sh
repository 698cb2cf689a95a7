#!/usr/bin/env bash
# The install, as a packager makes it: `cmake --install` into a fresh prefix,
# then the installed game started from another folder finds its files, the
# runner plays the title from the installed files, and the desktop entry and
# AppStream metadata validate.
#   tests/install_test.sh BUILD_DIR RUNNER
set -euo pipefail
build=$(realpath "$1")
runner=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/orvelune share/orvelune/Resource_Orvelune/Field/stage_1.csv \
  share/applications/io.github.orvelune.Orvelune.desktop \
  share/metainfo/io.github.orvelune.Orvelune.metainfo.xml share/man/man6/orvelune.6 \
  share/icons/hicolor/48x48/apps/io.github.orvelune.Orvelune.png \
  share/icons/hicolor/256x256/apps/io.github.orvelune.Orvelune.png; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done

# Every installed icon is a whole picture of the size its folder names (the
# game itself opens only the 64-pixel one, for its window).
python3 - "$prefix/share/icons/hicolor" "$(dirname "$(realpath "$0")")" <<'CHECK'
import os, sys
sys.path.insert(0, sys.argv[2])
from pictures import read_png
for size in (16, 24, 32, 48, 64, 128, 256):
    path = os.path.join(sys.argv[1], '%dx%d' % (size, size), 'apps', 'io.github.orvelune.Orvelune.png')
    width, height, _ = read_png(path)
    if (width, height) != (size, size):
        raise SystemExit('%s: %dx%d, not %dx%d' % (path, width, height, size, size))
CHECK

mkdir -p "$work/elsewhere"
cd "$work/elsewhere"
"$prefix/bin/orvelune" --version | grep -q '^Orvelune '
# Started from another folder, with a window nobody sees, it finds its files
# and plays until it is stopped.
set +e
HOME=$work/home XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_RUNTIME_DIR=$work \
  SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null timeout 4 "$prefix/bin/orvelune" 2>"$work/err"
status=$?
set -e
if [ $status -ne 124 ]; then
  echo "the installed game ended with status $status:"
  cat "$work/err"
  exit 1
fi
if grep -q "not found\|missing or damaged" "$work/err"; then
  cat "$work/err"
  exit 1
fi
[ -s "$work/home/.config/orvelune/settings.txt" ] || { echo "no settings file written"; exit 1; }
# The installed files play the title in the runner.
"$runner" --chdir "$prefix/share/orvelune" --scene title --frames 120 >/dev/null

desktop-file-validate "$prefix/share/applications/io.github.orvelune.Orvelune.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.orvelune.Orvelune.metainfo.xml" >/dev/null
man -l "$prefix/share/man/man6/orvelune.6" >/dev/null 2>&1 || true
echo "install test passed"
