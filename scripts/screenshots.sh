#!/bin/sh
# Saves a screenshot of the main window for every page family (and each of its tabs),
# drawn against virtual modules under a virtual X server.
# Usage: scripts/screenshots.sh [output directory] [build directory]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/screenshots}
build=${2:-$root/build}
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S "$root" -B "$build" -G Ninja
fi
cmake --build "$build" --target window_screenshots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/window/window_screenshots" "$out"
echo "Screenshots in $out"
