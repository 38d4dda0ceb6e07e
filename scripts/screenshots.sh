#!/usr/bin/env bash
# Saves a screenshot of the main window for every page family (each of its tabs, a network
# change confirmation, and the window without any module), drawn against virtual modules
# under a virtual X server.
# Usage: scripts/screenshots.sh [output directory]   (build directory: $BUILD_DIR or build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${1:-$build/screenshots}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja
fi
cmake --build "$build" --target window_screenshots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/window/window_screenshots" "$out"
echo "Screenshots in $out"
