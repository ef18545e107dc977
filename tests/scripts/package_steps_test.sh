#!/usr/bin/env bash
# scripts/lib.sh as scripts/test.sh uses it, against stand-ins for apt-get, dpkg-query and dpkg on PATH:
# a package step retries a mirror that fails and then mends, gives apt's reason for one that never
# mends, and the closing lines name what did not run and judge the run as strict mode says.
#   package_steps_test.sh REPO_ROOT
set -uo pipefail
ROOT=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
failures=0
passes=0
check() {  # check DESCRIPTION COMMAND...: counts a failure when the command fails
  local what=$1
  shift
  if "$@"; then echo "ok    $what"; passes=$((passes + 1)); else echo "FAIL  $what"; failures=$((failures + 1)); fi
}

# Nothing is installed; apt-get install fails while $work/install-failures-left is above zero, with the
# message a mirror in the middle of a sync gives, and counts its calls.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
exit 1
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
dir=$(dirname "$0")/..
echo "$*" >>"$dir/apt-calls"
case " $* " in
  *" install "*)
    left=$(cat "$dir/install-failures-left")
    if [ "$left" -gt 0 ]; then
      echo $((left - 1)) >"$dir/install-failures-left"
      echo "E: Unable to correct problems, you have held broken packages." >&2
      exit 100
    fi ;;
  *" update "*)
    echo "E: Failed to fetch i386 Packages  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    exit 100 ;;
esac
exit 0
STUB
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH" TILEPAINT_APT_RETRY_DELAY=0 TILEPAINT_APT_ATTEMPTS=3

# run_lib SCRIPT: runs SCRIPT in a shell that has sourced lib.sh, as root would (no sudo), with output to
# $work/out and the exit status in $work/status.
run_lib() {
  (
    id() { echo 0; }
    # shellcheck disable=SC1091
    source "$ROOT/scripts/lib.sh"
    set +e
    eval "$1"
  ) >"$work/out" 2>&1
  echo $? >"$work/status"
}
status_is() { [ "$(cat "$work/status")" = "$1" ]; }
output_has() { grep -qF -- "$1" "$work/out"; }
last_line_is() { [ "$(tail -n 1 "$work/out")" = "$1" ]; }

echo 2 >"$work/install-failures-left"
: >"$work/apt-calls"
run_lib 'try_packages wine32:i386; echo "result $?"'
check "a mirror that mends on the third try installs the packages" output_has "result 0"
check "each try reads the lists again" [ "$(grep -c '^update' "$work/apt-calls")" = 3 ]
check "the tries use apt's own retries" grep -q 'Acquire::Retries=3' "$work/apt-calls"
check "the tries are said" output_has "Installing Debian packages (attempt 3 of 3): wine32:i386"

echo 99 >"$work/install-failures-left"
run_lib 'try_packages wine32:i386; echo "result $? [$PACKAGE_ERROR]"'
check "a mirror that never mends fails after three tries with apt's reason" \
  output_has "result 1 [Unable to correct problems, you have held broken packages.]"
run_lib 'ensure_packages g++'
check "a package the script cannot do without ends it" status_is 1

run_lib 'start_tests; not_run "Windows i686 under Wine" "wine32:i386 cannot be installed (apt: held)"; finish_tests 0'
check "a part not run is named in the closing lines" output_has \
  "NOT RUN: Windows i686 under Wine: wine32:i386 cannot be installed (apt: held)"
check "and the run passes when all that ran passed" last_line_is "All tests that could run passed."
check "with exit status 0" status_is 0
run_lib 'export TILEPAINT_TEST_STRICT=1; start_tests; not_run "Windows i686 under Wine" "why"; finish_tests 0'
check "strict mode fails a run with a part not run" status_is 1
run_lib 'start_tests; not_run "Windows i686 under Wine" "why"; finish_tests 1'
check "a failure that ran fails the run" last_line_is "Some tests FAILED."
check "with a non-zero status" status_is 1
run_lib 'export TILEPAINT_TEST_STRICT=1; start_tests; finish_tests 0'
check "a run where everything ran passes in strict mode" last_line_is "All tests passed."
check "with exit status 0" status_is 0

# windows-test.sh adds a stack that the kernel cannot run to the same list (through the file).
run_lib 'start_tests; echo "Windows i686 under Wine: this kernel cannot execute 32-bit programs" >>"$TILEPAINT_NOT_RUN_FILE"; finish_tests 0'
check "a part another script could not run is listed as well" output_has \
  "NOT RUN: Windows i686 under Wine: this kernel cannot execute 32-bit programs"

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
