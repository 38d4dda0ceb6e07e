#!/usr/bin/env bash
# Shows the program with three simulated modules of different families. Installs the
# dependencies and builds only what it runs, into build/ (or $BUILD_DIR), then starts the
# modules on pseudo-terminals with their links in a temporary directory.
# With a display: opens trivoconfig on them until its window is closed or Ctrl+C.
# Without one: prints `trivoctl list` and `trivoctl info` for each module, saves pictures of
# every module's page drawn under a virtual X server, and ends.
# Environment: TRIVO_DEMO_SKIP_BUILD=1 uses the build as it is; TRIVO_DEMO_SHOTS names the
# pictures' directory ($BUILD_DIR/demo-screenshots); TRIVO_DEMO_WAIT_S bounds the wait for the
# modules (10). Arguments go to trivoconfig.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build}
VMODULE="$BUILD_DIR/tools/vmodule/trivo-vmodule"
APP="$BUILD_DIR/app/trivoconfig"
CTL="$BUILD_DIR/ctl/trivoctl"
SHOOTER="$BUILD_DIR/tests/window/window_screenshots"
headless=1
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then headless=0; fi

# The window draws the pictures through the screenshot tool, which is built only when needed.
targets=(trivoconfig trivo-vmodule trivoctl)
needed=("$VMODULE" "$APP" "$CTL")
if [ "$headless" = 1 ]; then
  targets+=(window_screenshots)
  needed+=("$SHOOTER")
fi
if [ "${TRIVO_DEMO_SKIP_BUILD:-0}" != "1" ]; then
  ./scripts/install-deps.sh
  # Configured as scripts/build.sh does, so the test command's build reuses this one.
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target "${targets[@]}"
fi
for f in "${needed[@]}"; do
  if [ ! -x "$f" ]; then
    echo "demo: $f was not built" >&2
    exit 1
  fi
done

# A second start would only raise the running window, and these modules would go unseen.
if [ "$headless" = 0 ] && "$APP" -r >/dev/null; then
  echo "demo: trivoconfig already runs for this user; close its window and start the demo again" >&2
  exit 1
fi

LINK_DIR=$(mktemp -d -t trivo-demo.XXXXXX)
LOG="$LINK_DIR/requests.log"
VM_PID=""
APP_PID=""
XVFB_PID=""
stop() {
  local pid=$1
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
}
cleanup() {
  stop "$APP_PID"
  stop "$VM_PID"
  stop "$XVFB_PID"
  rm -rf "$LINK_DIR"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# A two-media-LAN receiver, a recorder and a router; the modules keep the program's DHCP
# and update dialogs short.
SERIALS=(1DM000101 1DM000202 1DM000303)
"$VMODULE" --dir "$LINK_DIR/ports" --log "$LOG" \
  --module "name=decoder,product=DECODER10G2,sysname=Demo Decoder,serial=${SERIALS[0]},sw=3.4.0,lan1.mode=dhcp,dhcp-delay-ms=3000,new-sw=3.5.0" \
  --module "name=recorder,product=RECORDER-PLUS,sysname=Demo Recorder,serial=${SERIALS[1]},sw=2.9.1,upload-empty-ms=2000" \
  --module "name=router,product=ROUTER-16X16,sysname=Demo Router,serial=${SERIALS[2]},sw=6.0.2,auth=0" &
VM_PID=$!

wait_s=${TRIVO_DEMO_WAIT_S:-10}
deadline=$((SECONDS + wait_s))
until [ "$(ls "$LINK_DIR/ports" 2>/dev/null | wc -l)" -ge ${#SERIALS[@]} ]; do
  if ! kill -0 "$VM_PID" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
    echo "demo: the virtual modules did not start" >&2
    exit 1
  fi
  sleep 0.1
done
echo "demo: virtual modules in $LINK_DIR/ports:"
ls -l "$LINK_DIR/ports"
echo "demo: request log: $LOG"
export TRIVO_EXTRA_PORTS="$LINK_DIR/ports"

if [ "$headless" = 0 ]; then
  echo "demo: window open; stop the demo by closing the window or with Ctrl+C here"
  status=0
  "$APP" "$@" &
  APP_PID=$!
  wait "$APP_PID" || status=$?
  APP_PID=""
  echo "demo: trivoconfig exited with status $status; stopping the modules"
  exit "$status"
fi

echo "demo: no display (neither DISPLAY nor WAYLAND_DISPLAY is set): showing the modules here"
echo
echo "\$ trivoctl list"
"$CTL" list
for serial in "${SERIALS[@]}"; do
  echo
  echo "\$ trivoctl info --serial $serial"
  "$CTL" info --serial "$serial"
done

SHOTS=${TRIVO_DEMO_SHOTS:-$BUILD_DIR/demo-screenshots}
mkdir -p "$SHOTS"
SHOTS=$(cd "$SHOTS" && pwd)
rm -f "$SHOTS"/module*_tab*.png
echo
echo "demo: drawing the window on a virtual X server, one picture per tab of each module"
# Xvfb itself rather than xvfb-run, so that Ctrl+C can stop each process by its id.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$LINK_DIR/display" 2>/dev/null &
XVFB_PID=$!
deadline=$((SECONDS + wait_s))
until [ -s "$LINK_DIR/display" ]; do
  if ! kill -0 "$XVFB_PID" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
    echo "demo: the virtual X server did not start" >&2
    exit 1
  fi
  sleep 0.1
done
DISPLAY=":$(cat "$LINK_DIR/display")" "$SHOOTER" "$SHOTS" --extra-ports >/dev/null &
APP_PID=$!
status=0
wait "$APP_PID" || status=$?
APP_PID=""
if [ "$status" != 0 ]; then
  echo "demo: the pictures could not be taken (status $status)" >&2
  exit 1
fi
echo "demo: pictures of each module's page in $SHOTS:"
ls "$SHOTS"/module*_tab*.png
