#!/usr/bin/env bash
# The browser build (after ./scripts/build-web.sh):
# - the runner built for WebAssembly, run under node, verifies every replay
#   with the hashes recorded on Linux;
# - the page in headless Chromium (tests/web/page_test.mjs), when the game
#   was built for the page.
#   tests/web_smoke.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
sim=$root/build-wasm/cmake/orvelune-sim.js
# node 20's fetch cannot read a file: path; Emscripten's loader then falls
# back to reading the .wasm from disk.
node=(node --no-experimental-fetch)

echo "== the WebAssembly runner verifies the replays recorded on Linux"
cd "$root/build-wasm/run"
for stage in 1 2 3 4; do
  timeout 600 "${node[@]}" "$sim" --stage $((stage - 1)) --verify "$root/tests/data/stage$stage.replay"
done
timeout 900 "${node[@]}" "$sim" --verify "$root/tests/data/full_game.replay"
echo "all replays verified"
