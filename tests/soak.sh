#!/usr/bin/env bash
# The soak: 216 000 frames (an hour of play) of the whole game, stage-1
# retries, game overs, pauses and returns to the title in one runner process,
# checking it keeps playing the same and that its memory stays flat (growth
# above 1 MiB fails). Not part of CI: it takes about half a minute on the
# release build, and longer with more frames.
#   tests/soak.sh [FRAMES]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --test
export ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target orvelune-sim assets >/dev/null
python3 tests/soak.py --sim build/orvelune-sim --content build/run --frames "${1:-216000}"
