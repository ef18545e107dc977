#!/usr/bin/env bash
# Builds and runs the whole test suite three times: the default build, then under
# AddressSanitizer + UndefinedBehaviorSanitizer, then under ThreadSanitizer. Also checks that the
# system code compiles against the real Windows headers. Exits non-zero when anything fails.
source "$(dirname "$0")/lib.sh"
# shellcheck disable=SC2086
ensure_packages $BUILD_PACKAGES $RUN_PACKAGES $TEST_PACKAGES

status=0
for preset in release asan tsan; do
  echo "=== $preset: build"
  if ! build "$preset"; then status=1; continue; fi
  echo "=== $preset: test"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ctest --preset "$preset" -j2 || status=1
done

# The Windows builds, 64-bit and 32-bit: the system code compiled against the real Windows headers, every
# test executable of each build run under that build's Wine, and the demonstration compared between our
# stack and each of them.
ensure_architecture i386
# shellcheck disable=SC2086
ensure_packages $WINDOWS_PACKAGES
if [ -x "$ROOT/scripts/windows-check.sh" ]; then
  echo "=== windows: compile the system code against the real Windows headers"
  "$ROOT/scripts/windows-check.sh" || status=1
fi
if [ -x "$ROOT/scripts/windows-test.sh" ]; then
  "$ROOT/scripts/windows-test.sh" "$ROOT/build" || status=1
fi

[ $status -eq 0 ] && echo "All tests passed." || echo "Some tests FAILED."
exit $status
