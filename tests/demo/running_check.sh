#!/usr/bin/env bash
# Usage: running_check.sh <trivoconfig>
# `trivoconfig -r` answers 1 with no instance and 0 while one runs for this user; the demo
# relies on it. A private runtime directory keeps a real instance of the user out of it.
set -uo pipefail
app=$1
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$runtime TRIVO_EXTRA_PORTS=$runtime/none
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$runtime"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$app" -r && fail "reported running with no instance"
QT_QPA_PLATFORM=offscreen "$app" &
pid=$!
for _ in $(seq 100); do
  "$app" -r >/dev/null && break
  kill -0 "$pid" 2>/dev/null || fail "trivoconfig ended"
  sleep 0.1
done
out=$("$app" -r) || fail "not reported running while it runs"
grep -q "already runs" <<<"$out" || fail "unexpected text: $out"
kill -0 "$pid" 2>/dev/null || fail "the probe ended the running instance"
echo PASS
