#!/usr/bin/env bash
# Shows the program with three simulated modules of different families:
# installs dependencies, builds, starts the modules on pseudo-terminals with their links in a
# temporary directory, runs trivoconfig on them and stops the modules when it exits.
# TRIVO_DEMO_SKIP_BUILD=1 uses an existing build as it is; BUILD_DIR picks the build (build/).
# Arguments go to trivoconfig.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${TRIVO_DEMO_SKIP_BUILD:-0}" != "1" ]; then
  ./scripts/install-deps.sh
  ./scripts/build.sh
fi

BUILD_DIR=${BUILD_DIR:-build}
VMODULE="$BUILD_DIR/tools/vmodule/trivo-vmodule"
APP="$BUILD_DIR/app/trivoconfig"
for f in "$VMODULE" "$APP"; do
  if [ ! -x "$f" ]; then
    echo "demo: $f was not built" >&2
    exit 1
  fi
done

LINK_DIR=$(mktemp -d -t trivo-demo.XXXXXX)
LOG="$LINK_DIR/requests.log"
VM_PID=""
cleanup() {
  if [ -n "$VM_PID" ] && kill -0 "$VM_PID" 2>/dev/null; then
    kill -TERM "$VM_PID"
    wait "$VM_PID" 2>/dev/null || true
  fi
  rm -rf "$LINK_DIR"
}
trap cleanup EXIT INT TERM

# A two-media-LAN receiver, a recorder and a router; the modules keep the program's DHCP
# and update dialogs short.
"$VMODULE" --dir "$LINK_DIR/ports" --log "$LOG" \
  --module "name=decoder,product=DECODER10G2,sysname=Demo Decoder,serial=1DM000101,sw=3.4.0,lan1.mode=dhcp,dhcp-delay-ms=3000,new-sw=3.5.0" \
  --module "name=recorder,product=RECORDER-PLUS,sysname=Demo Recorder,serial=1DM000202,sw=2.9.1,upload-empty-ms=2000" \
  --module "name=router,product=ROUTER-16X16,sysname=Demo Router,serial=1DM000303,sw=6.0.2,auth=0" &
VM_PID=$!

# Wait until all three links are there.
for _ in $(seq 50); do
  [ "$(ls "$LINK_DIR/ports" 2>/dev/null | wc -l)" -ge 3 ] && break
  sleep 0.1
done
echo "demo: virtual modules in $LINK_DIR/ports:"
ls -l "$LINK_DIR/ports"
echo "demo: request log: $LOG"

export TRIVO_EXTRA_PORTS="$LINK_DIR/ports"
status=0
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$APP" "$@" || status=$?
else
  echo "demo: no DISPLAY; running trivoconfig under xvfb-run -a (nothing will be visible)"
  xvfb-run -a "$APP" "$@" || status=$?
fi
echo "demo: trivoconfig exited with status $status"
exit "$status"
