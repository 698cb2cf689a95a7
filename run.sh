#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in a 1280x720
# window. ./run.sh --fullscreen starts the full-screen build instead.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
exe=orvelune-windowed
if [ "${1:-}" = "--fullscreen" ]; then
  exe=orvelune
  shift
fi
cd build/run
exec "../$exe" "$@"
