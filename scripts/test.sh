#!/usr/bin/env bash
# Installs dependencies, builds, and runs every test: the normal build, then the
# tests again under AddressSanitizer and UndefinedBehaviorSanitizer, the multi-threaded
# ones under ThreadSanitizer, and the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

BUILD_DIR=build ./scripts/build.sh
(cd build && ctest --output-on-failure -j2)

if [ "${TRIVO_SKIP_SANITIZERS:-0}" != "1" ]; then
  BUILD_DIR=build-asan ./scripts/build.sh -DTRIVO_SANITIZE=ON -DTRIVO_BUILD_BENCH=OFF
  (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
     ctest --output-on-failure -j2 -LE no-sanitizer)
  # The multi-threaded tests under ThreadSanitizer, then each fuzzer for a short run.
  ./scripts/tsan.sh
  ./scripts/fuzz.sh
fi

# The program as installed and packaged (its own Release build in build-pkg/).
./scripts/check-package.sh
