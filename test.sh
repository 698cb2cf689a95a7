#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test without any
# display: once with g++, once with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer. Warnings are errors in both builds. The Debian
# package is built, installed, played and removed; then the Windows build,
# cross-compiled, is tried under Wine on a virtual display, and the browser
# build under node and in headless Chromium.
#   ./test.sh          both builds (what CI runs)
#   ./test.sh fast     the g++ build only
#   ./test.sh full     both builds, and the damaged-content sweep over every
#                      file with every kind of damage (about 10 minutes more)
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh --test

jobs=$(nproc)
export ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy

echo "== format"
# Every source file is as clang-format (with .clang-format) writes it.
find base platform render world scenes app tools tests fuzz -name '*.cpp' -o -name '*.h' |
  xargs clang-format --dry-run -Werror

echo "== g++ build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVELUNE_WERROR=ON -DBUILD_TESTING=ON >/dev/null
cmake --build build
(cd build && ctest --output-on-failure -j"$jobs")

if [ "${1:-}" = "fast" ]; then
  exit 0
fi

echo "== the Debian package"
# Built, checked with lintian, installed with apt, played, and removed.
./scripts/build-deb.sh
tests/package_test.sh build-deb/orvelune_*_amd64.deb build/orvelune-sim

echo "== clang build with ASan and UBSan"
# The build runs the content generator, so the sanitizer settings apply to it too.
# intercept_tls_get_addr=0: with the sanitizer's tracking of the loaded
# libraries' dynamic TLS on, LeakSanitizer's tracer crashed in its own scan
# (ScanRangeForPointers, "Tracer caught signal 11") at the exit of a test
# program that had drawn with OpenGL, in one test every time; with it off,
# it does not.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DORVELUNE_SANITIZE=ON -DORVELUNE_WERROR=ON >/dev/null
cmake --build build-asan
# A test that fails is run once more before it counts: LeakSanitizer's
# tracer now and then crashes at exit in a process that has used OpenGL
# ("Tracer caught signal 11", after the test passed), a fault of the
# sanitizer's runtime that a second run does not repeat; a real fault fails
# both runs.
(cd build-asan && ctest --output-on-failure -j"$jobs" --repeat until-pass:2)

echo "== damaged content, under the sanitizers"
# Each file the game reads, damaged in turn: the game refuses it naming the
# file, or takes it in its stride; never a crash, a hang or a report.
sweep=(--sim build-asan/orvelune-sim --content build-asan/run --jobs "$jobs")
if [ "${1:-}" = "full" ]; then
  sweep+=(--full)
fi
python3 tests/damage_sweep.py "${sweep[@]}"

echo "== the Windows build, under Wine"
./scripts/build-windows.sh --tests
tests/windows_smoke.sh

echo "== the browser build"
# Built with Emscripten (its libraries from Debian's sources): the runner
# under node verifies the replays, Playwright plays the page in Chromium.
./scripts/build-web.sh
tests/web_smoke.sh
