# Shared by run.sh and test.sh: install what is missing, configure and build.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages: to build, to run, to test as a person would (a virtual X server, input, screenshots).
# The Windows builds' packages are in WINDOWS_PACKAGES.
BUILD_PACKAGES="g++ cmake ninja-build pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev
  libjpeg62-turbo-dev libgif-dev libicu-dev libx11-dev libstb-dev googletest libgtest-dev libgmock-dev libbenchmark-dev"
RUN_PACKAGES="fonts-ipafont-gothic xfonts-base"
TEST_PACKAGES="xvfb xdotool xclip imagemagick x11-utils desktop-file-utils g++-mingw-w64-x86-64
  ibus ibus-anthy dbus python3-gi libglib2.0-bin dconf-gsettings-backend procps"
# The two Windows builds and the Wine that runs each: 64-bit, and 32-bit from the i386 architecture.
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine32:i386 xvfb locales googletest"

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
  $sudo apt-get update -qq -o DPkg::Lock::Timeout=900 || true
  $sudo apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=900 "${missing[@]}"
}

# ensure_architecture ARCH: lets dpkg install packages of a foreign architecture (i386 for 32-bit Wine),
# saying so; the next ensure_packages that installs anything reads that architecture's lists.
ensure_architecture() {
  local arch=$1
  [ "$(dpkg --print-architecture)" = "$arch" ] && return 0
  dpkg --print-foreign-architectures | grep -qx "$arch" && return 0
  echo "Adding the Debian architecture $arch"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo dpkg --add-architecture "$arch"
}

# build PRESET: configures (once) and builds the preset's tree.
build() {
  local preset=$1
  cmake --preset "$preset" -S "$ROOT" >/dev/null
  cmake --build --preset "$preset" -- -j"$(nproc)"
}
