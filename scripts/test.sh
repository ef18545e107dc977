#!/usr/bin/env bash
# Builds and runs the whole test suite three times: the default build, then under
# AddressSanitizer + UndefinedBehaviorSanitizer, then under ThreadSanitizer; then the 64- and 32-bit
# Windows builds under Wine. A part whose packages cannot be installed here, or that this kernel cannot
# run, is not run: the closing lines name each one with the reason. Exits non-zero when anything that
# ran failed, and with TILEPAINT_TEST_STRICT=1 also when anything could not run.
source "$(dirname "$0")/lib.sh"
# shellcheck disable=SC2086
ensure_packages $BUILD_PACKAGES $RUN_PACKAGES $TEST_PACKAGES
start_tests

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
# stack and each of them. Each stack runs as far as its packages allow.
echo "=== windows: packages"
stacks=()
# shellcheck disable=SC2086
if try_packages $WINDOWS_COMPILER_PACKAGES; then
  compilers=yes
else
  compilers=no
  not_run "Windows builds" "the mingw-w64 compilers cannot be installed (apt: $PACKAGE_ERROR)"
fi
if [ $compilers = yes ]; then
  # shellcheck disable=SC2086
  if try_packages $WINE64_PACKAGES; then
    stacks+=(x86_64)
  else
    not_run "Windows x86_64 under Wine" "wine64 cannot be installed (apt: $PACKAGE_ERROR)"
  fi
  if ensure_architecture i386 && try_packages $WINE32_PACKAGES; then
    stacks+=(i686)
  else
    not_run "Windows i686 under Wine" "wine32:i386 cannot be installed (apt: ${PACKAGE_ERROR:-dpkg --add-architecture i386 failed})"
  fi
  echo "=== windows: compile the system code against the real Windows headers"
  "$ROOT/scripts/windows-check.sh" || status=1
  if [ ${#stacks[@]} -gt 0 ]; then
    WINDOWS_STACKS="${stacks[*]}" "$ROOT/scripts/windows-test.sh" "$ROOT/build" || status=1
  fi
fi

finish_tests $status
