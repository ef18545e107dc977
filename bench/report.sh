#!/usr/bin/env bash
# Runs the drawing and BASIC runner benchmarks and prints each figure as a ratio to its yardstick, measured in the same
# run, beside the bound it must keep; then, when the Windows build and Wine are there, the whole
# snapshot process natively against the Windows build under Wine (hyperfine).
#
#   bench/report.sh [BUILD_DIR]      (default: build, the release preset's tree)
#
# REPETITIONS (default 5) sets how often each benchmark runs; the median counts. The machine's load is
# printed first and last: figures taken while something else runs are not worth much.
# Exits non-zero when a bound is missed.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${1:-$ROOT/build}
REPETITIONS=${REPETITIONS:-5}
BIN=$BUILD/bin
status=0

for program in bench-demo bench-gdi bench-basic-runner bench-tilebasic-paint; do
  [ -x "$BIN/$program" ] || { echo "report: no $BIN/$program: build the release preset first"; exit 1; }
done
echo "load before: $(uptime)"

# Median real time in nanoseconds, and items per second, of every benchmark of the given programs,
# as lines "NAME NANOSECONDS ITEMS_PER_SECOND".
measure() {
  local program=$1 filter=$2
  "$BIN/$program" --benchmark_filter="$filter" --benchmark_repetitions="$REPETITIONS" \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '
      /_median"?,/ {
        name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
        scale = ($5 ~ /ms/) ? 1e6 : ($5 ~ /us/) ? 1e3 : ($5 ~ /^"?s"?$/) ? 1e9 : 1
        print name, $3 * scale, ($7 == "" ? 0 : $7)
      }'
}

results=$(measure bench-demo '.'; measure bench-gdi 'Memcpy/1024000$|BitBlt640x400|StretchBlt640x200To640x400|CaptureCycle640x400|ExtFloodFill'
  measure bench-basic-runner '.'
  # One process each: the first benchmark of a process meets a quieter display thread than the second.
  measure bench-tilebasic-paint 'Direct'; measure bench-tilebasic-paint 'Interpreter')
value() { awk -v n="$1" -v f="${2:-2}" '$1 == n { print $f }' <<<"$results" | head -1; }

# check LABEL VALUE RELATION BOUND UNIT
check() {
  local label=$1 got=$2 relation=$3 bound=$4 unit=$5 verdict
  if [ -z "$got" ]; then
    printf '  %-58s %s\n' "$label" "missing"
    status=1
    return
  fi
  if awk -v g="$got" -v b="$bound" -v r="$relation" 'BEGIN { exit !(r == "<=" ? g <= b : g >= b) }'; then
    verdict=ok
  else
    verdict=MISSED
    status=1
  fi
  printf '  %-58s %8.2f %s  (bound %s %s)  %s\n' "$label" "$got" "$unit" "$relation" "$bound" "$verdict"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a != "" && b > 0) printf "%.4f", a / b }'; }

demoMemcpy=$(value Memcpy/1024000)
gdiMemcpy=$(awk '$1 == "Memcpy/1024000" { v = $2 } END { print v }' <<<"$results")
echo "yardsticks: Memcpy/1024000 $(ratio "$demoMemcpy" 1000) us (bench-demo), $(ratio "$gdiMemcpy" 1000) us (bench-gdi)"
check "demonstration set-up + script / memcpy of 1 MB" "$(ratio "$(value BM_DemoSetUpAndScript)" "$demoMemcpy")" "<=" 40 x
check "50 x 50 fill on 3840 x 2160 / the same on 640 x 400" \
  "$(ratio "$(value ExtFloodFillBox50x50/3840/2160)" "$(value ExtFloodFillBox50x50/640/400)")" "<=" 2 x
check "full 1024 x 768 pattern fill" "$(ratio "$(value ExtFloodFillOpen1024x768Pattern8x8 3)" 1e6)" ">=" 400 Mpixel/s
check "BitBlt 640 x 400 / memcpy" "$(ratio "$(value BitBlt640x400)" "$gdiMemcpy")" "<=" 1.5 x
check "StretchBlt 640 x 200 to 640 x 400 / memcpy" "$(ratio "$(value StretchBlt640x200To640x400)" "$gdiMemcpy")" "<=" 1.5 x
check "capture cycle 640 x 400 / memcpy" "$(ratio "$(value CaptureCycle640x400)" "$gdiMemcpy")" "<=" 4 x
echo "tilebasic, whole processes: loop.bas $(ratio "$(value LoopTilebasic/real_time)" 1e6) ms," \
  "C++ volatile loop $(ratio "$(value LoopCppVolatile/real_time)" 1e6) ms," \
  "print.bas $(ratio "$(value PrintTilebasic/real_time)" 1e6) ms, fwrite $(ratio "$(value PrintFwrite/real_time)" 1e6) ms"
check "tilebasic 2,000,000-turn double loop / C++ volatile loop" \
  "$(ratio "$(value LoopTilebasic/real_time)" "$(value LoopCppVolatile/real_time)")" "<=" 30 x
check "tilebasic 100,000 PRINT lines / fwrite of the same" \
  "$(ratio "$(value PrintTilebasic/real_time)" "$(value PrintFwrite/real_time)")" "<=" 3 x
check "tilebasic full-screen PAINT ..., TILE / PaintTile called directly" \
  "$(ratio "$(value BM_TilePaintInterpreter)" "$(value BM_TilePaintDirect)")" "<=" 1.1 x

# ---- the whole process on both stacks ----
WINDOWS=$ROOT/build-windows
WINE=/usr/lib/wine/wine64
missing=""
command -v hyperfine >/dev/null || missing+=" hyperfine (Debian: hyperfine)"
[ -x "$WINE" ] || missing+=" wine64 (Debian: wine64)"
command -v Xvfb >/dev/null || missing+=" Xvfb (Debian: xvfb)"
[ -f "$WINDOWS/bin/tilepaint-snapshot.exe" ] || missing+=" $WINDOWS/bin/tilepaint-snapshot.exe"
[ -f "$WINDOWS/wineprefix/system.reg" ] || missing+=" the Wine prefix (scripts/windows-test.sh makes both)"
[ -x "$BIN/tilepaint-snapshot" ] || missing+=" $BIN/tilepaint-snapshot"
if [ -n "$missing" ]; then
  echo "whole process: skipped, missing:$missing"
else
  display=99
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
  while [ ! -e "/tmp/.X11-unix/X$display" ] && kill -0 "$xvfb_pid" 2>/dev/null; do sleep 0.1; done
  out=$(mktemp -d)
  # The same surroundings as scripts/windows-test.sh gives the Windows build: code page 932 included.
  [ -d "$WINDOWS/locale/ja_JP.UTF-8" ] && export LOCPATH=$WINDOWS/locale
  export DISPLAY=":$display" WINEPREFIX=$WINDOWS/wineprefix WINEDEBUG=-all WINEARCH=win64 \
    WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  # Wine's own start-up is part of its process; the warm-up runs leave its server running.
  (cd "$ROOT/assets" && env LC_ALL=ja_JP.UTF-8 hyperfine -N --warmup 2 --runs "${RUNS:-10}" --export-csv "$out/runs.csv" \
    "$BIN/tilepaint-snapshot $out/native.png" "$WINE $WINDOWS/bin/tilepaint-snapshot.exe $out/wine.png")
  awk -F, 'NR == 2 { native = $2 } NR == 3 { wine = $2 }
    END { printf "whole process: Wine / native = %.1f x (aim >= 20 x)\n", wine / native }' "$out/runs.csv"
  rm -rf "$out"
fi
echo "load after: $(uptime)"
exit $status
