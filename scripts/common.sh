# shellcheck shell=bash
# Sourced by scripts/play and scripts/test: the Debian packages the build
# needs and the way a preset is built. Safe to run again: what is installed or
# built already is left alone.

# shellcheck disable=SC2034  # the arrays are read by the scripts that source this
PIROKKO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-tools-dev qt6-l10n-tools libsdl2-dev
                libsndfile1-dev libgif-dev libgtest-dev libgmock-dev fonts-ipafont-gothic
                python3)
# What a headless run needs: a virtual screen, and tools to find and grab the
# window on it.
SCREEN_PACKAGES=(xvfb xauth xdotool imagemagick x11-utils)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=() p
  for p in "$@"; do
    if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing ${missing[*]}"
  # The package lists of a fresh machine are empty or stale; refresh them only
  # when something has to be fetched.
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

# build_preset NAME: configures once, then lets Ninja decide what is stale.
build_preset() {
  local preset=$1 dir
  dir=$(preset_dir "$preset")
  cd "$PIROKKO_ROOT" || return
  if [ ! -f "$dir/build.ninja" ]; then
    cmake --preset "$preset"
  fi
  cmake --build --preset "$preset" --parallel "${PIROKKO_JOBS:-$(nproc)}"
}

preset_dir() {
  case $1 in
    release) echo "$PIROKKO_ROOT/build" ;;
    asan) echo "$PIROKKO_ROOT/build-asan" ;;
    fuzz) echo "$PIROKKO_ROOT/build-fuzz" ;;
    *) echo "unknown preset $1" >&2; return 1 ;;
  esac
}
