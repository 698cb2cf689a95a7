#!/usr/bin/env bash
# The browser build (after ./scripts/build-web.sh):
# - the runner built for WebAssembly, run under node, verifies every replay
#   with the hashes recorded on Linux;
# - the page in headless Chromium, driven by Playwright (tests/web/page_test.mjs:
#   what it checks is listed there); its pictures go to build-web-test/.
# Each part is skipped, saying so, when what it needs is missing.
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

echo "== the page in headless Chromium"
if [ ! -f "$root/build-web/index.html" ]; then
  echo "SKIPPED: the page was not built (./scripts/build-web.sh)"
  exit 0
fi
if ! command -v npm >/dev/null || [ ! -x /usr/bin/chromium ]; then
  echo "SKIPPED: npm or Debian's chromium is missing (./scripts/install-deps.sh --test)"
  exit 0
fi
# Playwright's own browser download is skipped: it drives Debian's Chromium.
(cd "$root/tests/web" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent)
mkdir -p "$root/build-web-test"
timeout 1200 node "$root/tests/web/page_test.mjs" "$root/build-web" \
  "$root/tests/data/pictures" "$root/build-web-test"
