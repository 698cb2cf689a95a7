#!/usr/bin/env bash
# A fuzzing campaign: builds every reader's libFuzzer target (clang, ASan and
# UBSan), runs each in turn for SECONDS, keeps any crash input with its stack
# under fuzz/findings/, then minimises each corpus back into fuzz/corpus/.
#   fuzz/campaign.sh SECONDS [TARGET...]
# Without TARGET names every fuzz_*.cpp is run. Exit status 1 when any target
# found a crash, a leak, a timeout or an out-of-memory input.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ]; then
  echo "usage: fuzz/campaign.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
./scripts/install-deps.sh --test

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVELUNE_FUZZ=ON -DORVELUNE_SANITIZE=ON >/dev/null

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi
cmake --build "$build" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
findings=fuzz/findings
mkdir -p "$findings"
status=0
summary=()
for target in "${targets[@]}"; do
  corpus=fuzz/corpus/$target
  work=$build/corpus/$target
  mkdir -p "$corpus" "$work" "$findings/$target"
  echo "== $target for ${seconds}s"
  log=$findings/$target/last-run.log
  # New inputs go to a scratch corpus; the seeds are read from the kept one.
  set +e
  (cd "$findings/$target" && "../../../$build/fuzz/$target" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "../../../$work" "../../../$corpus") >"$log" 2>&1
  rc=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  if [ $rc -ne 0 ]; then
    status=1
    echo "   FOUND a fault (status $rc); the input and the stack are in $findings/$target/"
    grep -E 'ERROR:|runtime error|SUMMARY' "$log" | head -5 | sed 's/^/   /'
    summary+=("$target: $runs runs, FAULT")
  else
    rm -f "$log"
    summary+=("$target: $runs runs, nothing found")
  fi
  # Minimise: keep the smallest set of inputs that covers what both corpora cover.
  merged=$build/corpus/$target.merged
  rm -rf "$merged"
  mkdir -p "$merged"
  "$build/fuzz/$target" -merge=1 "$merged" "$corpus" "$work" >/dev/null 2>&1 || true
  if [ -n "$(ls -A "$merged")" ]; then
    # Named seed files (the hand-made cases) are kept as they are.
    find "$corpus" -type f -regextype posix-extended -regex '.*/[0-9a-f]{40}' -delete
    cp -n "$merged"/* "$corpus"/
  fi
  rmdir "$findings/$target" 2>/dev/null || true
done
rmdir "$findings" 2>/dev/null || true

echo "== campaign of ${seconds}s per target"
printf '   %s\n' "${summary[@]}"
exit $status
