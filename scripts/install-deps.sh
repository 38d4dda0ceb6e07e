#!/usr/bin/env bash
# Installs everything needed to build, run, test and benchmark the project on Debian 12.
# The one list of packages: the README, scripts/*.sh and .ci/run all call this script.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ninja-build ccache
  qt6-base-dev qt6-serialport-dev libqt6serialport6 libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools qt6-translations-l10n
  libudev-dev zlib1g-dev
  libbenchmark-dev
  gkermit
  xvfb xauth fonts-dejavu-core fonts-liberation2 fonts-urw-base35
  clang libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev x11-utils
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y "${missing[@]}"
