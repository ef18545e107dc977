#!/usr/bin/env bash
# Regenerates the golden images of the demonstration under tests/golden/: the headless snapshots after
# script steps 4, 6 and 11 with the default picture, assets/TILE_TEST.bmp. The golden tests never
# write them; run this by hand after a change that is meant to alter the pictures, look at the new
# files, and commit them. Also rewrites assets/screenshot.png, the finished script's 640 x 400 page
# area that the README shows (cut with ImageMagick's convert).
#
# usage: tools/regenerate_goldens.sh [BUILD_DIR]    (BUILD_DIR defaults to build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
snapshot="$build/bin/tilepaint-snapshot"
[ -x "$snapshot" ] || { echo "no $snapshot: build the tilepaint-snapshot target first" >&2; exit 1; }
cd "$root/assets"
for step in 4 6 11; do
  out=$(printf '%s/tests/golden/after-step-%02d.png' "$root" "$step")
  "$snapshot" --after-step "$step" "$out"
  echo "wrote $out"
done
out="$root/assets/screenshot.png"
"$snapshot" "$out"
/usr/bin/convert "$out" -crop 640x400+0+0 +repage "$out"
echo "wrote $out"
