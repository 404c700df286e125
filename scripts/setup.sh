# Shared set-up of scripts/run and scripts/test: install what is missing, configure, build.
# Sourced, not run.  Honours ORVANE_BUILD_DIR, ORVANE_BUILD_TYPE and ORVANE_CMAKE_ARGS.

ORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ORVANE_BUILD_DIR=${ORVANE_BUILD_DIR:-$ORVANE_ROOT/build}
ORVANE_BUILD_TYPE=${ORVANE_BUILD_TYPE:-Release}

ORVANE_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools libgl-dev libqt6svg6
  zlib1g-dev libgumbo-dev libicu-dev locales
  libgtest-dev libgmock-dev googletest python3
  fonts-noto-cjk fonts-ipafont-gothic qt6-translations-l10n
  xvfb xauth openbox
)

# Packages only one script needs (benchmarks, fuzzing, packaging) are added to ORVANE_PACKAGES by that
# script before it calls this, so scripts/run and scripts/test never need them.
orvane_install_packages() {
  local missing=() pkg
  for pkg in "${ORVANE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local install=(apt-get install -y -q --no-install-recommends "${missing[@]}")
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      {
        echo "These Debian packages are missing: ${missing[*]}"
        echo "They cannot be installed: this is not root and there is no sudo. As root, run:"
        echo "  apt-get update && ${install[*]}"
        echo "and then run this script again."
      } >&2
      exit 1
    fi
    # env passes DEBIAN_FRONTEND through sudo, which resets the environment.
    sudo=(sudo env DEBIAN_FRONTEND=noninteractive)
  fi
  echo "Installing missing packages: ${missing[*]}"
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" "${install[@]}"
}

orvane_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  # shellcheck disable=SC2086
  cmake -S "$ORVANE_ROOT" -B "$ORVANE_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$ORVANE_BUILD_TYPE" \
    ${ORVANE_CMAKE_ARGS:-}
  cmake --build "$ORVANE_BUILD_DIR" --parallel "$jobs" "$@"
}
