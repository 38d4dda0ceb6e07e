#!/usr/bin/env bash
# Builds the fuzzers with clang into build-fuzz and runs each for the given number of
# seconds (default 30) over its seeds in fuzz/corpus/<target>/. Fails on any finding; the
# input that found it is left in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-30}
BUILD_DIR=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRIVO_BUILD_FUZZ=ON -DTRIVO_BUILD_TESTS=OFF -DTRIVO_BUILD_BENCH=OFF >/dev/null
mapfile -t fuzzers < "$BUILD_DIR/fuzzers.txt"
cmake --build "$BUILD_DIR" -j"$(nproc)" --target "${fuzzers[@]}"

mkdir -p "$BUILD_DIR/findings"
failed=()
for f in "${fuzzers[@]}"; do
  seeds="fuzz/corpus/${f#fuzz_}"
  work="$BUILD_DIR/corpus/${f#fuzz_}"
  mkdir -p "$work"
  echo "== $f: ${SECONDS_EACH}s"
  # New inputs go to the work corpus; the committed seeds stay as they are. The code under
  # test writes diagnostics to stderr, so only libFuzzer's own lines are kept.
  if ! "$BUILD_DIR/fuzz/$f" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
      -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$BUILD_DIR/findings/$f-" \
      "$work" "$seeds" > "$BUILD_DIR/$f.log" 2>&1; then
    failed+=("$f")
    tail -n 60 "$BUILD_DIR/$f.log"
  fi
  grep -E "^(stat::number_of_executed_units|stat::new_units_added|Done )" "$BUILD_DIR/$f.log" || true
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs in $BUILD_DIR/findings/)" >&2
  exit 1
fi
echo "fuzz: no findings"
