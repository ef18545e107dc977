# Shared by run.sh and test.sh: install what is missing, configure and build.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages: to build, to run, to test as a person would (a virtual X server, input, screenshots).
BUILD_PACKAGES="g++ cmake ninja-build pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev
  libjpeg62-turbo-dev libgif-dev libicu-dev libstb-dev googletest libgtest-dev libgmock-dev libbenchmark-dev"
RUN_PACKAGES="fonts-ipafont-gothic xfonts-base"
TEST_PACKAGES="xvfb xdotool xclip imagemagick x11-utils g++-mingw-w64-x86-64"

# ensure_packages PKG...: installs those not yet installed, saying which.
ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing Debian packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq || true
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build PRESET: configures (once) and builds the preset's tree.
build() {
  local preset=$1
  cmake --preset "$preset" -S "$ROOT" >/dev/null
  cmake --build --preset "$preset" -- -j"$(nproc)"
}
