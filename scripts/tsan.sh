#!/usr/bin/env bash
# Builds the tests labelled `threads` (with the programs they start) under ThreadSanitizer
# into build-tsan, and runs them. Qt and glib are not instrumented: reports that lie wholly
# inside them are suppressed by scripts/tsan-suppressions.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build-tsan

# gcc: clang 14's runtime aborts in the child when Qt starts a process.
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRIVO_SANITIZE=thread -DTRIVO_BUILD_BENCH=OFF >/dev/null
mapfile -t tests < <(cd "$BUILD_DIR" && ctest -N -L threads | sed -n 's/^ *Test *#[0-9]*: //p')
cmake --build "$BUILD_DIR" -j"$(nproc)" --target "${tests[@]}"

# die_after_fork=0: QProcess forks from a process with threads and execs at once; the
# sanitizer would otherwise refuse every thread started after that.
export TSAN_OPTIONS="suppressions=$PWD/scripts/tsan-suppressions.txt halt_on_error=1 \
second_deadlock_stack=1 die_after_fork=0 ${TSAN_OPTIONS:-}"
cd "$BUILD_DIR"
ctest --output-on-failure -j2 -L threads
