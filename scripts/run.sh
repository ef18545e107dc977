#!/usr/bin/env bash
# Builds the program and runs the tile-paint demonstration in a window, in assets/ so that the
# picture TILE_TEST.bmp is found in the current directory. Without a display it writes the
# headless snapshot of the demonstration instead and says where the PNG is.
source "$(dirname "$0")/lib.sh"
# shellcheck disable=SC2086
ensure_packages $BUILD_PACKAGES $RUN_PACKAGES
build release
cd "$ROOT/assets"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -x "$ROOT/build/bin/tilepaint-snapshot" ]; then
  out="$ROOT/build/tilepaint.png"
  "$ROOT/build/bin/tilepaint-snapshot" "$out"
  echo "No display: the demonstration was drawn headless into $out"
  exit 0
fi
exec "$ROOT/build/bin/tilepaint"
