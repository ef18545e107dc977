#!/usr/bin/env bash
# The Windows build and its tests under Wine.
#
# Builds build-windows/ with mingw-w64 (x86_64) against the real Windows headers, then runs every test
# executable of that build under wine on a virtual X server (Xvfb, 1024 x 768, 24-bit), in a Wine
# prefix of its own under build-windows/, with code page 932 (LC_ALL=ja_JP.UTF-8) and the console's
# font face mapped to IPAGothic. Each run is judged by GoogleTest's own summary, never by Wine's exit
# code. Then the native comparison test (tests/windows) draws the demonstration on both stacks.
#
#   scripts/windows-test.sh [NATIVE_BUILD_DIR]     (default: build, the release preset's tree)
#
# Exits non-zero when anything fails.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT=$ROOT/build-windows
NATIVE=${1:-$ROOT/build}
SUITE_TIMEOUT=${WINDOWS_SUITE_TIMEOUT:-300}
JOBS=${WINDOWS_BUILD_JOBS:-2}
started=$(date +%s)

# Tests that cannot pass under Wine, with the reason. They run on our stack only.
declare -A WINE_ONLY_NATIVE=(
  # Wine takes arbitrary numbers for handles without a check and hangs on some.
  # Handles of the wrong kind likewise.
  # Windows itself reuses a closed handle value at once, and creates a thread at a null start address
  # and writes an exit code through a null pointer: those are checks of our own layer (the null start
  # faults and ends the whole process under Wine). Our layer knows code page 932 and the Japanese
  # locale only and keeps a lone trailing lead byte apart, where Windows answers for the others and
  # merges them. The UTF-8 echo of debug output on standard error is ours too (Windows gives the text
  # to a debugger only). Wine overwrites the exit code of a thread that has already ended.
  [kernel32]="Handles.ForeignValuesAreRefusedWithoutTouchingMemory:Handles.WrongKindIsRefused:\
Handles.ClosedHandleIsStaleEvenWhenItsSlotIsReused:Threads.BadArgumentsAreRefused:\
CodePage.OtherCodePagesAreRefused:CompareStringA.ALoneLeadByteKeepsItsIdentity:\
CompareStringA.OtherLocalesAreRefused:DebugOutput.StderrGetsUtf8:\
Threads.TerminatingAnEndedThreadKeepsItsExitCode"
  # Our heap is that of a 32-bit process, which cannot give a block of 2 GiB; the 64-bit Windows heap
  # under Wine gives it, so the string is made instead of ending the process.
  [strings]="Exhaustion.StringTooLargeForTheHeapEndsTheProcess"
  # Wine replaces the console font by IPAGothic, whose metrics make a cell 17 pixels high, not 16.
  [console]="ConsoleTest.StartUpMeasuresAnEightBySixteenCell"
  # gdi32, Wine's faults: it writes through the null pointers that our layer refuses with a failure
  # result, and faults; its flood fill recurses per span and overflows the stack on the whole-screen
  # winding region; it maps the console face to IPAGothic, whose cell is 8 x 17 where the console font
  # is 8 x 16 (the four text tests that measure cells); DeleteObject of an object still selected
  # reports success and deletes it later, where Windows documents a failure; SetPixel outside the
  # bitmap answers the colour, where Windows documents -1; GetGuiResources is a stub that answers 0.
  # Our layer's own choices where Win32 leaves the result open (named ...OurOwnChoice): DeleteObject
  # of a DC, the high byte of a pen's colour, HORZRES of a memory DC without a device, which source
  # pixels a reducing COLORONCOLOR stretch keeps.
  [gdi32]="Text.BadArgumentsFail:FloodFill.AWindingRegionOfAWholeScreenIsFilledWithoutRecursion:\
Text.TheConsoleFontMeasuresEightBySixteen:Text.OpaqueTextFillsItsCellsAndPutsGlyphPixelsInsideThem:\
Text.ADoubleByteCharacterTakesTwoCells:Text.ALoneLeadByteAtTheEndIsOneCharacter:\
Objects.ObjectsStillSelectedCannotBeDeleted:LinesAndPixels.SetPixelOutsideTheBitmapFailsAndDrawsNothing:\
Objects.GuiResourcesCountEveryLiveObject:\
Objects.DeleteObjectRefusesADcOurOwnChoice:Objects.APenDropsTheHighByteOfItsColourOurOwnChoice:\
Objects.AMemoryDcWithoutADeviceMeasuresItsBitmapOurOwnChoice:Blits.ReducingTakesTheSourcePixelUnderEachCentreOurOwnChoice"
  # graphics: three tests count GDI objects through GetGuiResources, which Wine answers with 0; the
  # GIF/JPEG test makes its pictures with the host's ImageMagick through the shell, which the
  # Windows side's shell cannot run.
  [graphics]="SurfaceTest.SetBitmapTakesOwnershipAndDeletesTheOneItReplaces:\
ImageObjectTest.WithANegativeDelayNothingIsSampledOrCopied:ImageObjectTest.ANewScanEndsTheRunningOneFirst:\
PictureLoaderTest.AGifAndAJpegLoadWithTheirSizeInPixels"
)
# Suites that are about the native programs: demo runs the native snapshot tool through a POSIX shell.
NATIVE_ONLY_SUITES=" demo "

status=0
fail() { echo "windows: $*"; status=1; }

# ---- build ----
echo "=== windows: configure and build (mingw-w64 x86_64)"
if [ ! -f "$OUT/build.ninja" ]; then
  cmake -S "$ROOT" -B "$OUT" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTILEPAINT_BENCH=OFF >/dev/null || { fail "configure failed"; exit 1; }
fi
cmake --build "$OUT" -j"$JOBS" || { fail "build failed"; exit 1; }
built=$(date +%s)

# ---- Wine ----
WINE=$(command -v wine64 || command -v wine || true)
[ -x /usr/lib/wine/wine64 ] && WINE=/usr/lib/wine/wine64
if [ -z "$WINE" ] || ! command -v xvfb-run >/dev/null; then
  fail "wine64 or xvfb-run is missing (Debian: wine64, xvfb)"
  exit 1
fi

# Code page 932 comes from the locale; a locale of our own when the machine lacks ja_JP.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ ! -d "$OUT/locale/ja_JP.UTF-8" ]; then
    mkdir -p "$OUT/locale"
    localedef -i ja_JP -f UTF-8 "$OUT/locale/ja_JP.UTF-8" || fail "cannot make the ja_JP.UTF-8 locale (package locales)"
  fi
  export LOCPATH=$OUT/locale
fi
# winedbg is switched off so that a crash ends the run at once instead of waiting for a debugger.
export WINEPREFIX=$OUT/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" WINEARCH=win64
export TILEPAINT_WINE=$WINE
XVFB=(xvfb-run -a -s "-screen 0 1024x768x24")

# One X server of our own for the suites, on the first free display number; ended on exit.
display=99
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
sleep 1

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "=== windows: a fresh Wine prefix in $WINEPREFIX"
  LC_ALL=ja_JP.UTF-8 "${XVFB[@]}" sh -c '
    "$0" wineboot -i >/dev/null 2>&1
    "$0" reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "ＭＳ ゴシック" /d IPAGothic /f >/dev/null 2>&1
    wineserver -w' "$WINE"
fi

# ---- the test executables under Wine ----
# Runs one suite; prints its summary and says whether GoogleTest reported every test passed.
run_suite() {
  local exe=$1 filter=$2 suite log
  suite=$(basename "$exe" _tests.exe)
  log=$OUT/wine-$suite.log
  (cd "$OUT/tests" && export DISPLAY && LC_ALL=ja_JP.UTF-8 timeout "$SUITE_TIMEOUT" "$WINE" "$exe" $filter >"$log" 2>&1)
  local passed failed
  # The Windows side ends its lines with CR LF.
  sed -i 's/\r$//' "$log"
  passed=$(grep -aE '^\[  PASSED  \] [0-9]+ tests?\.' "$log" | tail -1)
  failed=$(grep -acE '^\[  FAILED  \] [A-Za-z_0-9]+\.[A-Za-z_0-9/]+$' "$log")
  if [ -n "$passed" ] && [ "$failed" -eq 0 ]; then
    echo "  ok    $suite: $passed"
    return 0
  fi
  if [ -z "$passed" ]; then
    echo "  FAIL  $suite: no summary (crashed or timed out after ${SUITE_TIMEOUT}s); log in $log"
  else
    echo "  FAIL  $suite: $passed; $failed failed:"
    grep -aE '^\[  FAILED  \] [A-Za-z_0-9]+\.[A-Za-z_0-9/]+$' "$log" | sed 's/^/          /'
  fi
  return 1
}

echo "=== windows: test executables under Wine"
mapfile -t suites < <(ls "$OUT"/bin/*_tests.exe 2>/dev/null)
[ ${#suites[@]} -gt 0 ] || fail "no test executables in $OUT/bin"
for exe in "${suites[@]}"; do
  suite=$(basename "$exe" _tests.exe)
  if [[ "$NATIVE_ONLY_SUITES" == *" $suite "* ]]; then echo "  skip  $suite: native programs only"; continue; fi
  filter=""
  [ -n "${WINE_ONLY_NATIVE[$suite]:-}" ] && filter="--gtest_filter=-${WINE_ONLY_NATIVE[$suite]}"
  DISPLAY=":$display" run_suite "$exe" "$filter" || status=1
done
tested=$(date +%s)

# ---- both stacks drawing the demonstration ----
echo "=== windows: the demonstration on both stacks"
if [ -x "$NATIVE/bin/windows_tests" ]; then
  DISPLAY=":$display" TILEPAINT_WINDOWS_BIN="$OUT/bin" LC_ALL=ja_JP.UTF-8 "$NATIVE/bin/windows_tests" || status=1
else
  fail "no native $NATIVE/bin/windows_tests: build the native tree first"
fi

done_at=$(date +%s)
echo "windows: build $((built - started)) s, Wine suites $((tested - built)) s, comparison $((done_at - tested)) s"
[ $status -eq 0 ] && echo "windows: all passed" || echo "windows: FAILED"
exit $status
