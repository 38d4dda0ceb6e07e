#!/usr/bin/env bash
# Usage: demo_headless.sh <demo.sh> <build directory> <pictures directory>
set -uo pipefail
demo=$1 build=$2 shots=$3
rm -rf "$shots"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY BUILD_DIR="$build" TRIVO_DEMO_SKIP_BUILD=1 \
  TRIVO_DEMO_SHOTS="$shots" TRIVO_DEMO_WAIT_S=20 "$demo" 2>&1)
status=$?
echo "$out"
fail() { echo "FAIL: $*"; exit 1; }
[ "$status" = 0 ] || fail "demo ended with status $status"
# One list line per module, and the identity of each.
for serial in 1DM000101 1DM000202 1DM000303; do
  [ "$(grep -c "$serial" <<<"$out")" -ge 2 ] || fail "$serial missing from list or info"
done
grep -q "Demo Recorder" <<<"$out" || fail "system name missing"
# At least one picture per module, each a PNG file.
for n in 1 2 3; do
  ls "$shots"/module${n}_*_tab0.png >/dev/null 2>&1 || fail "no picture of module $n"
done
for f in "$shots"/*.png; do
  [ "$(head -c 4 "$f" | tail -c 3)" = PNG ] || fail "$f is not a PNG picture"
done
# The modules' temporary directory is gone and no module process is left.
dir=$(sed -n 's/^demo: virtual modules in \(.*\)\/ports:$/\1/p' <<<"$out")
[ -n "$dir" ] && [ ! -e "$dir" ] || fail "temporary directory ${dir:-?} left behind"
! pgrep -f -- "--dir $dir/ports" >/dev/null || fail "virtual modules still running"
echo "PASS"
