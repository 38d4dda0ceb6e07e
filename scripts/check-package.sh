#!/usr/bin/env bash
# Builds the program as it ships (Release, no tests or benchmarks) into build-pkg/ or the
# directory given, installs it into a scratch tree and validates the desktop entry and the
# AppStream file there, builds the Debian package, checks that it holds exactly the
# installed files, installs it into a scratch root and starts the program from there.
# Touches nothing outside the build directory and a temporary one.
# Usage: scripts/check-package.sh [build directory]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-pkg}")
scratch=$(mktemp -d -t trivo-package.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
started=$SECONDS
say() { echo "check-package: $*"; }
fail() {
  echo "check-package: FAILED: $*" >&2
  exit 1
}

app_id=example.velto.TrivoSetup
# Dates the release by the last commit rather than by the build.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git -C "$root" rev-parse -q --verify HEAD >/dev/null; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTRIVO_BUILD_TESTS=OFF -DTRIVO_BUILD_BENCH=OFF -DTRIVO_BUILD_FUZZ=OFF -DTRIVO_SANITIZE=OFF
cmake --build "$build" -j"$(nproc)"

# What an installation must hold; the command-line program and its page once they exist.
expected=(
  usr/bin/trivoconfig
  usr/bin/trivo-vmodule
  "usr/share/applications/$app_id.desktop"
  "usr/share/metainfo/$app_id.metainfo.xml"
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  "usr/share/icons/hicolor/48x48/apps/$app_id.png"
  "usr/share/icons/hicolor/128x128/apps/$app_id.png"
  usr/share/man/man1/trivoconfig.1.gz
  usr/lib/udev/rules.d/70-trivo-modules.rules
)
if [ -n "$(find "$build" -name trivoctl -type f -perm -u+x -print -quit)" ]; then
  expected+=(usr/bin/trivoctl)
fi
if [ -f "$root/packaging/man/trivoctl.1" ]; then
  expected+=(usr/share/man/man1/trivoctl.1.gz)
fi
require_files() { # tree, then what it is
  for f in "${expected[@]}"; do
    [ -f "$1/$f" ] || fail "$2 lacks $f"
  done
}

say "installing into a scratch tree"
DESTDIR="$scratch/install" cmake --install "$build" >/dev/null
require_files "$scratch/install" "cmake --install"
desktop-file-validate "$scratch/install/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$scratch/install/usr/share/metainfo/$app_id.metainfo.xml"

say "building the Debian package"
rm -rf "$build/deb"
(cd "$build" && cpack -G DEB -B "$build/deb" >/dev/null)
debs=("$build"/deb/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}
dpkg-deb -f "$deb" Package Version Depends

# The package holds the installed files, no more and no fewer.
list_tree() { (cd "$1" && find . ! -type d | sed 's|^\./||' | sort); }
diff <(list_tree "$scratch/install") \
  <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort) ||
  fail "the package's files differ from the installed ones (< installed, > packaged)"

# Its dependencies, as computed, name real packages: those of this build machine.
printf 'Source: trivo-setup\n\nPackage: trivo-setup\nArchitecture: any\n' >"$scratch/control"
dpkg-checkbuilddeps -d "$(dpkg-deb -f "$deb" Depends)" "$scratch/control" ||
  fail "the package depends on something this machine lacks"

say "installing the package into a scratch root"
sysroot="$scratch/root"
mkdir -p "$sysroot/var/lib/dpkg/info" "$sysroot/var/lib/dpkg/updates"
touch "$sysroot/var/lib/dpkg/status"
# Its own, empty package database: the dependencies are this machine's, checked above.
dpkg --root="$sysroot" --force-not-root --force-depends --install "$deb" >/dev/null 2>&1 ||
  fail "dpkg could not install $deb into $sysroot"
require_files "$sysroot" "the installed package"

desktop="$sysroot/usr/share/applications/$app_id.desktop"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
program="$sysroot/usr/bin/$exec_name"
[ -x "$program" ] || fail "the desktop entry's Exec ($exec_name) is not in /usr/bin"
usage=$("$program" -h) || fail "$exec_name -h did not exit with 0"
[[ $usage == "usage:  trivoconfig"* ]] || fail "$exec_name -h printed no usage: $usage"
"$sysroot/usr/bin/trivo-vmodule" --help >/dev/null || fail "trivo-vmodule --help failed"

# The window's X11 class is what the desktop entry promises, so docks group the window
# under its launcher. Settings and the single-instance socket stay in the scratch folder.
say "reading the window's class under a virtual X server"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
mkdir -m 700 "$scratch/runtime"
export PROGRAM=$program
# shellcheck disable=SC2016 # expanded by the inner shell
seen=$(XDG_RUNTIME_DIR="$scratch/runtime" XDG_CONFIG_HOME="$scratch/config" \
  timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$PROGRAM" 2>/dev/null & pid=$!
  for _ in $(seq 100); do
    line=$(xwininfo -root -tree | grep -o "(\"trivoconfig\" \"[^\"]*\")" | head -n1 || true)
    [ -n "$line" ] && break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  echo "$line"') || true
[ "$seen" = "(\"trivoconfig\" \"$wm_class\")" ] ||
  fail "WM_CLASS is '${seen:-no window}', the desktop entry says StartupWMClass=$wm_class"

say "$(basename "$deb") checked in $((SECONDS - started)) s"
