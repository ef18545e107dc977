#!/usr/bin/env bash
# The Windows build and its tests under Wine.
#
# Two Windows builds with mingw-w64 against the real Windows headers: x86_64 into build-windows/, run
# by 64-bit Wine, and i686 into build-windows-i686/, run by 32-bit Wine (a WINEARCH=win32 prefix), where
# pointers and handles are 32 bits wide as on the system's own platform. For each, every test executable
# runs under Wine on a virtual X server (Xvfb, 1024 x 768, 24-bit), in a Wine prefix of its own under
# the build's folder, with code page 932 (LC_ALL=ja_JP.UTF-8) and the console's font face mapped to
# IPAGothic. Each run is judged by GoogleTest's own summary, never by Wine's exit code. Then the native
# comparison test (tests/windows) draws the demonstration with our stack and with that build.
#
#   scripts/windows-test.sh [NATIVE_BUILD_DIR]     (default: build, the release preset's tree)
#   WINDOWS_STACKS="x86_64 i686"                   (default: both; the builds to make and test)
#
# Exits non-zero when anything fails.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NATIVE=${1:-$ROOT/build}
SUITE_TIMEOUT=${WINDOWS_SUITE_TIMEOUT:-300}
JOBS=${WINDOWS_BUILD_JOBS:-2}
STACKS=${WINDOWS_STACKS:-x86_64 i686}

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
  # Wine replaces the console font by IPAGothic, whose metrics make a cell 17 pixels high, not 16.
  [console]="ConsoleTest.StartUpMeasuresAnEightBySixteenCell"
  # gdi32, Wine's faults: it writes through the null pointers that our layer refuses with a failure
  # result, and faults; it maps the console face to IPAGothic, whose cell is 8 x 17 where the console font
  # is 8 x 16 (the four text tests that measure cells); DeleteObject of an object still selected
  # reports success and deletes it later, where Windows documents a failure; SetPixel outside the
  # bitmap answers the colour, where Windows documents -1; GetGuiResources is a stub that answers 0.
  # Our layer's own choices where Win32 leaves the result open (named ...OurOwnChoice): DeleteObject
  # of a DC, the high byte of a pen's colour, HORZRES of a memory DC without a device, which source
  # pixels a reducing COLORONCOLOR stretch keeps, a wide line between end points 2^32 apart (Wine
  # computes its direction in 32 bits, which overflows; Windows keeps coordinates within 2^27), a pen of
  # INT_MAX pixels (Wine's dot for it overflows and it draws a thin line).
  [gdi32]="Text.BadArgumentsFail:\
Text.TheConsoleFontMeasuresEightBySixteen:Text.OpaqueTextFillsItsCellsAndPutsGlyphPixelsInsideThem:\
Text.ADoubleByteCharacterTakesTwoCells:Text.ALoneLeadByteAtTheEndIsOneCharacter:\
Objects.ObjectsStillSelectedCannotBeDeleted:LinesAndPixels.SetPixelOutsideTheBitmapFailsAndDrawsNothing:\
Objects.GuiResourcesCountEveryLiveObject:\
Objects.DeleteObjectRefusesADcOurOwnChoice:Objects.APenDropsTheHighByteOfItsColourOurOwnChoice:\
Objects.AMemoryDcWithoutADeviceMeasuresItsBitmapOurOwnChoice:Blits.ReducingTakesTheSourcePixelUnderEachCentreOurOwnChoice:\
WidePens.LinesAcrossTheWholeCoordinateRangeOurOwnChoice:WidePens.AnEnormousPenCoversTheCanvasOurOwnChoice"
  # graphics: three tests count GDI objects through GetGuiResources, which Wine answers with 0; the
  # GIF/JPEG test makes its pictures with the host's ImageMagick through the shell, which the
  # Windows side's shell cannot run.
  [graphics]="SurfaceTest.SetBitmapTakesOwnershipAndDeletesTheOneItReplaces:\
ImageObjectTest.WithANegativeDelayNothingIsSampledOrCopied:ImageObjectTest.ANewScanEndsTheRunningOneFirst:\
PictureLoaderTest.AGifAndAJpegLoadWithTheirSizeInPixels"
)
# Tests left out under 64-bit Wine only: they pass under 32-bit Wine, whose process is that of the
# system's own platform.
declare -A WINE64_ONLY_NATIVE=(
  # A string of 2 GiB is more than a 32-bit process's heap can give, so asking for one ends the
  # process; the 64-bit heap gives it, and the string is made.
  [strings]="Exhaustion.StringTooLargeForTheHeapEndsTheProcess"
  # Wine's flood fill recurses per span; on the whole-screen winding region the 64-bit frames overflow
  # the stack, while the smaller 32-bit ones fit (and the fill is then right).
  [gdi32]="FloodFill.AWindingRegionOfAWholeScreenIsFilledWithoutRecursion"
)
# Suites that are about the native programs: demo runs the native snapshot tool through a POSIX shell,
# faults makes the allocations of our own platform layer fail (Windows has no such hook).
NATIVE_ONLY_SUITES=" demo faults "

status=0
fail() { echo "windows: $*"; status=1; }

# The tests of one suite left out under one stack's Wine: the shared list and that stack's own.
excluded_tests() {
  local stack=$1 suite=$2 list
  list=${WINE_ONLY_NATIVE[$suite]:-}
  if [ "$stack" = x86_64 ] && [ -n "${WINE64_ONLY_NATIVE[$suite]:-}" ]; then
    list=${list:+$list:}${WINE64_ONLY_NATIVE[$suite]}
  fi
  echo "$list"
}

# ---- what every stack shares: Wine's presence, the locale, one X server ----
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
  fail "Xvfb or xvfb-run is missing (Debian: xvfb)"
  exit 1
fi

# Code page 932 comes from the locale; a locale of our own when the machine lacks ja_JP.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ ! -d "$ROOT/build-windows/locale/ja_JP.UTF-8" ]; then
    mkdir -p "$ROOT/build-windows/locale"
    localedef -i ja_JP -f UTF-8 "$ROOT/build-windows/locale/ja_JP.UTF-8" ||
      fail "cannot make the ja_JP.UTF-8 locale (package locales)"
  fi
  export LOCPATH=$ROOT/build-windows/locale
fi
# winedbg is switched off so that a crash ends the run at once instead of waiting for a debugger.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
XVFB=(xvfb-run -a -s "-screen 0 1024x768x24")

# One X server of our own for the suites, on the first free display number; ended on exit.
display=99
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# Waits until the prefix's wineserver has ended, which it does once every Wine process of the prefix
# has; one that is still running after a minute is stopped, and that counts as a failure.
wait_for_wineserver() {
  timeout 60 "$WINESERVER" -w && return 0
  fail "Wine processes of $WINEPREFIX were still running after 60 s; stopped"
  "$WINESERVER" -k
}

# Runs one suite; prints its summary and says whether GoogleTest reported every test passed.
run_suite() {
  local exe=$1 filter=$2 suite log
  suite=$(basename "$exe" _tests.exe)
  log=$OUT/wine-$suite.log
  (cd "$OUT/tests" && export DISPLAY && LC_ALL=ja_JP.UTF-8 timeout "$SUITE_TIMEOUT" "$WINE" "$exe" $filter >"$log" 2>&1)
  local passed failed outside skipped
  # The Windows side ends its lines with CR LF.
  sed -i 's/\r$//' "$log"
  passed=$(grep -aE '^\[  PASSED  \] [0-9]+ tests?\.' "$log" | tail -1)
  failed=$(grep -acE '^\[  FAILED  \] [A-Za-z_0-9]+\.[A-Za-z_0-9/]+$' "$log")
  # A failure outside any test (the suite's global set-up) skips every test and still ends in PASSED.
  outside=$(grep -acE ': Failure$' "$log")
  skipped=$(grep -acE '^\[  SKIPPED \] [A-Za-z_0-9]+\.[A-Za-z_0-9/]+$' "$log")
  if [ -n "$passed" ] && [ "$failed" -eq 0 ] && [ "$outside" -eq 0 ]; then
    if [ "$skipped" -gt 0 ]; then echo "  ok    $suite: $passed ($skipped skipped)"; else echo "  ok    $suite: $passed"; fi
    return 0
  fi
  if [ -n "$passed" ] && [ "$failed" -eq 0 ]; then
    echo "  FAIL  $suite: $passed, but $outside failures outside the tests; log in $log"
  elif [ -z "$passed" ]; then
    echo "  FAIL  $suite: no summary (crashed or timed out after ${SUITE_TIMEOUT}s); log in $log"
  else
    echo "  FAIL  $suite: $passed; $failed failed:"
    grep -aE '^\[  FAILED  \] [A-Za-z_0-9]+\.[A-Za-z_0-9/]+$' "$log" | sed 's/^/          /'
  fi
  return 1
}

# test_stack STACK: builds one Windows build, runs its suites under that stack's Wine, and compares the
# demonstration it draws with the native one.
test_stack() {
  local stack=$1 toolchain loader winearch started built tested done_at
  case $stack in
    x86_64) OUT=$ROOT/build-windows toolchain=mingw-w64-x86_64 loader=wine64 winearch=win64 ;;
    i686) OUT=$ROOT/build-windows-i686 toolchain=mingw-w64-i686 loader=wine winearch=win32 ;;
    *) fail "unknown stack $stack (x86_64 or i686)"; return ;;
  esac
  started=$(date +%s)

  echo "=== windows $stack: configure and build (mingw-w64 $stack)"
  if [ ! -f "$OUT/build.ninja" ]; then
    cmake -S "$ROOT" -B "$OUT" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DTILEPAINT_BENCH=OFF >/dev/null || { fail "$stack: configure failed"; return; }
  fi
  cmake --build "$OUT" -j"$JOBS" || { fail "$stack: build failed"; return; }
  built=$(date +%s)

  # Debian puts the loaders in /usr/lib/wine/ and neither them nor wineserver on PATH; a Wine installed
  # elsewhere keeps its wineserver next to its loader too.
  WINE=$(command -v "/usr/lib/wine/$loader" || command -v "$loader" || true)
  if [ -z "$WINE" ]; then
    if [ "$stack" = i686 ]; then fail "$stack: 32-bit Wine is missing (Debian: wine32:i386)"; else fail "$stack: wine64 is missing (Debian: wine64)"; fi
    return
  fi
  WINE=$(readlink -f "$WINE")
  # Some kernels run 64-bit programs only (IA-32 emulation switched off): the 32-bit loader then
  # cannot even start. The build above still proves that the code compiles for the target.
  if [ "$stack" = i686 ] && ! "$WINE" --version >/dev/null 2>&1 && [ "$(probe_exec "$WINE")" = 126 ]; then
    echo "  skip  $stack: this kernel cannot execute 32-bit programs ($WINE: $(probe_error "$WINE"))"
    NOT_RUN+=("$stack")
    # test.sh lists it among the parts not run (and fails it under TILEPAINT_TEST_STRICT=1).
    if [ -n "${TILEPAINT_NOT_RUN_FILE:-}" ]; then
      echo "Windows i686 under Wine: this kernel cannot execute 32-bit programs ($(probe_error "$WINE"))" >>"$TILEPAINT_NOT_RUN_FILE"
    fi
    return
  fi
  WINESERVER=$(dirname "$WINE")/wineserver
  if [ ! -x "$WINESERVER" ]; then
    fail "$stack: no wineserver next to $WINE"
    return
  fi
  export WINEPREFIX=$OUT/wineprefix WINEARCH=$winearch WINESERVER
  export TILEPAINT_WINE=$WINE

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "=== windows $stack: a fresh $winearch Wine prefix in $WINEPREFIX"
    LC_ALL=ja_JP.UTF-8 "${XVFB[@]}" sh -c '
      "$0" wineboot -i >/dev/null 2>&1
      "$0" reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "ＭＳ ゴシック" /d IPAGothic /f >/dev/null 2>&1
      timeout 60 "$WINESERVER" -w' "$WINE" || fail "$stack: the Wine prefix did not settle"
    [ -f "$WINEPREFIX/system.reg" ] || { fail "$stack: wineboot made no prefix"; return; }
  fi

  echo "=== windows $stack: test executables under Wine ($WINE)"
  local suites exe suite filter excluded
  mapfile -t suites < <(ls "$OUT"/bin/*_tests.exe 2>/dev/null)
  [ ${#suites[@]} -gt 0 ] || fail "$stack: no test executables in $OUT/bin"
  for exe in "${suites[@]}"; do
    suite=$(basename "$exe" _tests.exe)
    if [[ "$NATIVE_ONLY_SUITES" == *" $suite "* ]]; then echo "  skip  $suite: native programs only"; continue; fi
    excluded=$(excluded_tests "$stack" "$suite")
    filter=""
    [ -n "$excluded" ] && filter="--gtest_filter=-$excluded"
    DISPLAY=":$display" run_suite "$exe" "$filter" || status=1
  done
  wait_for_wineserver
  tested=$(date +%s)

  echo "=== windows $stack: the demonstration on both stacks"
  if [ -x "$NATIVE/bin/windows_tests" ]; then
    DISPLAY=":$display" TILEPAINT_WINDOWS_BIN="$OUT/bin" LC_ALL=ja_JP.UTF-8 "$NATIVE/bin/windows_tests" || status=1
  else
    fail "no native $NATIVE/bin/windows_tests: build the native tree first"
  fi
  wait_for_wineserver

  done_at=$(date +%s)
  echo "windows $stack: build $((built - started)) s, Wine suites $((tested - built)) s, comparison $((done_at - tested)) s"
}

# probe_exec PROGRAM: the shell's exit code for starting it (126: the kernel cannot execute it).
probe_exec() { "$1" --version >/dev/null 2>&1; echo $?; }
probe_error() { "$1" --version 2>&1 >/dev/null | tail -n 1; }

NOT_RUN=()
for stack in $STACKS; do test_stack "$stack"; done
if [ $status -ne 0 ]; then
  echo "windows: FAILED"
elif [ ${#NOT_RUN[@]} -gt 0 ]; then
  echo "windows: all that ran passed; not run under Wine here: ${NOT_RUN[*]}"
else
  echo "windows: all passed"
fi
exit $status
