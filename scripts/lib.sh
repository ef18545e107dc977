# Shared by run.sh and test.sh: install what is missing, configure and build.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages: to build, to run, to test as a person would (a virtual X server, input, screenshots).
# The Windows builds' packages are in the WINDOWS_/WINE groups below.
BUILD_PACKAGES="g++ cmake ninja-build pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev
  libjpeg62-turbo-dev libgif-dev libicu-dev libx11-dev libstb-dev googletest libgtest-dev libgmock-dev libbenchmark-dev"
RUN_PACKAGES="fonts-ipafont-gothic xfonts-base"
TEST_PACKAGES="xvfb xdotool xclip imagemagick x11-utils desktop-file-utils g++-mingw-w64-x86-64
  ibus ibus-anthy dbus python3-gi libglib2.0-bin dconf-gsettings-backend procps"
# The Windows builds and the Wine that runs each, in groups that are installed (and may fail) apart:
# the two cross compilers, 64-bit Wine, and 32-bit Wine from the i386 architecture.
WINDOWS_COMPILER_PACKAGES="g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest"
WINE64_PACKAGES="wine64 xvfb locales"
WINE32_PACKAGES="wine32:i386"

# How often a package step is tried before it counts as failed, and apt's own retries of each download.
APT_ATTEMPTS=${TILEPAINT_APT_ATTEMPTS:-3}
APT_RETRY_DELAY=${TILEPAINT_APT_RETRY_DELAY:-10}
APT_OPTIONS=(-o Acquire::Retries=3 -o DPkg::Lock::Timeout=900)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# missing_packages PKG...: prints those not yet installed.
missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

# try_packages PKG...: installs those not yet installed, saying which, and tries again (lists read
# anew) when apt fails: a mirror in the middle of a sync often serves a good index a minute later.
# Returns non-zero when they still cannot be installed, with apt's reason in PACKAGE_ERROR.
PACKAGE_ERROR=""
try_packages() {
  local missing attempt log
  mapfile -t missing < <(missing_packages "$@")
  PACKAGE_ERROR=""
  [ ${#missing[@]} -eq 0 ] && return 0
  log=$(mktemp)
  export DEBIAN_FRONTEND=noninteractive
  for ((attempt = 1; attempt <= APT_ATTEMPTS; attempt++)); do
    echo "Installing Debian packages (attempt $attempt of $APT_ATTEMPTS): ${missing[*]}"
    echo "  apt-get update"
    # A list that fails to download leaves apt with the lists it had; the install below says whether
    # that was enough.
    as_root apt-get update -qq "${APT_OPTIONS[@]}" >"$log" 2>&1 || sed -n 's/^[EW]: /  apt: /p' "$log" | head -n 3
    echo "  apt-get install ${missing[*]}"
    if as_root apt-get install -y -qq --no-install-recommends "${APT_OPTIONS[@]}" "${missing[@]}" >"$log" 2>&1; then
      rm -f "$log"
      return 0
    fi
    PACKAGE_ERROR=$(grep -E '^E: ' "$log" | sed 's/^E: //' | head -n 2 | paste -sd ' ' -)
    [ -n "$PACKAGE_ERROR" ] || PACKAGE_ERROR=$(tail -n 1 "$log")
    echo "  apt-get install failed: $PACKAGE_ERROR"
    if ((attempt < APT_ATTEMPTS)); then
      echo "  trying again in $((attempt * APT_RETRY_DELAY)) s"
      sleep $((attempt * APT_RETRY_DELAY))
    fi
  done
  tail -n 20 "$log" | sed 's/^/  | /'
  rm -f "$log"
  return 1
}

# ensure_packages PKG...: as try_packages, but the script cannot go on without them.
ensure_packages() {
  try_packages "$@" && return 0
  echo "Cannot install the Debian packages needed here: $PACKAGE_ERROR" >&2
  exit 1
}

# ensure_architecture ARCH: lets dpkg install packages of a foreign architecture (i386 for 32-bit Wine),
# saying so before it changes the machine; the next package step reads that architecture's lists.
ensure_architecture() {
  local arch=$1
  [ "$(dpkg --print-architecture)" = "$arch" ] && return 0
  dpkg --print-foreign-architectures | grep -qx "$arch" && return 0
  echo "Adding the Debian architecture $arch to this machine (dpkg --add-architecture $arch), for 32-bit Wine"
  as_root dpkg --add-architecture "$arch"
}

# Parts of the test run that could not run here, with the reason: listed by finish_tests, and failures
# under TILEPAINT_TEST_STRICT=1.
# start_tests: opens the list (a file, so that windows-test.sh, a process of its own, adds to it too).
start_tests() {
  TILEPAINT_NOT_RUN_FILE=$(mktemp)
  export TILEPAINT_NOT_RUN_FILE
}
# not_run WHAT REASON
not_run() {
  echo "$1: $2" >>"$TILEPAINT_NOT_RUN_FILE"
  echo "NOT RUN: $1: $2"
}

# finish_tests STATUS: the closing lines of a test run and its exit status: every part not run with its
# reason, then the verdict. Nothing that ran may have failed; with TILEPAINT_TEST_STRICT=1 nothing may
# have been left out either.
finish_tests() {
  local status=$1 line count=0
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    echo "NOT RUN: $line"
    count=$((count + 1))
  done <"$TILEPAINT_NOT_RUN_FILE"
  rm -f "$TILEPAINT_NOT_RUN_FILE"
  if [ "$status" -ne 0 ]; then
    echo "Some tests FAILED."
    return 1
  fi
  if [ $count -eq 0 ]; then
    echo "All tests passed."
    return 0
  fi
  if [ "${TILEPAINT_TEST_STRICT:-0}" = 1 ]; then
    echo "FAILED: $count part(s) could not run, and TILEPAINT_TEST_STRICT=1 asks for everything."
    return 1
  fi
  echo "All tests that could run passed."
  return 0
}

# build PRESET: configures (once) and builds the preset's tree.
build() {
  local preset=$1
  cmake --preset "$preset" -S "$ROOT" >/dev/null
  cmake --build --preset "$preset" -- -j"$(nproc)"
}
