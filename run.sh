#!/usr/bin/env bash
# Installs what building and playing need, builds the game and starts it in
# a window (options are passed on: ./run.sh --fullscreen, ./run.sh --help).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target orvelune assets
exec build/orvelune "$@"
