#!/usr/bin/env bash
# Compiles the system code (runtime/, console/, graphics/, program/, basic/) with mingw-w64 against the real
# Windows headers, for 64-bit and for 32-bit Windows: compile only, no link, no run. Only
# platform/win32.h is visible of platform/, and it switches to <windows.h> there. Exits non-zero if any
# file fails, naming each one and the compiler.
#
#   MINGW_CXX="x86_64-w64-mingw32-g++ i686-w64-mingw32-g++"   (default: both)
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
COMPILERS=${MINGW_CXX:-x86_64-w64-mingw32-g++ i686-w64-mingw32-g++}
FOLDERS="runtime console graphics program basic"
# tilebasic's entry is a POSIX program for now: it talks to a POSIX terminal (its locale's code set,
# signals, a pipe beside standard input), and its window mode chooses the headless display for
# --snapshot through support/, which is not system code. The interpreter under it is checked here like
# the rest.
POSIX_ONLY="program/tilebasic_main.cpp program/tilebasic_window.cpp"

for CXX in $COMPILERS; do
  if ! command -v "$CXX" >/dev/null 2>&1; then
    echo "windows-check: $CXX not found (Debian packages g++-mingw-w64-x86-64, g++-mingw-w64-i686)" >&2
    exit 1
  fi
done

# An include root that holds the system folders and, of platform/, win32.h alone.
overlay=$(mktemp -d)
trap 'rm -rf "$overlay"' EXIT
mkdir -p "$overlay/include/platform" "$overlay/logs"
ln -s "$ROOT/platform/win32.h" "$overlay/include/platform/win32.h"
for folder in $FOLDERS; do
  [ -d "$ROOT/$folder" ] && ln -s "$ROOT/$folder" "$overlay/include/$folder"
done

mapfile -t sources < <(cd "$ROOT" && for folder in $FOLDERS; do
  [ -d "$folder" ] && find "$folder" -maxdepth 1 -name '*.cpp' | sort
done | grep -vxF -f <(tr ' ' '\n' <<<"$POSIX_ONLY"))
if [ ${#sources[@]} -eq 0 ]; then
  echo "windows-check: no system sources yet"
  exit 0
fi

compile_one() {
  local src=$1
  "$CXX" -std=c++20 -Wall -Wextra $CXXFLAGS_TARGET -I "$overlay/include" -c "$ROOT/$src" -o /dev/null \
    >"$overlay/logs/$(echo "$src" | tr / _).log" 2>&1
}
export -f compile_one
export ROOT overlay

# check_with CXX: every file with one compiler; adds the files that fail or warn to `failed`.
check_with() {
  export CXX=$1 CXXFLAGS_TARGET=""
  # 32-bit x86 computes in SSE2 as the i686 toolchain file asks.
  [[ "$CXX" == i686-* ]] && CXXFLAGS_TARGET="-msse2 -mfpmath=sse"
  echo "windows-check: $CXX"
  rm -f "$overlay"/logs/*.log
  local jobs=${WINDOWS_CHECK_JOBS:-2} src log
  while read -r result src; do
    if [ "$result" = ok ]; then
      echo "  ok    $src"
    else
      echo "  FAIL  $src"
      sed 's/^/        /' "$overlay/logs/$(echo "$src" | tr / _).log" | head -40
      failed+=("$CXX:$src")
    fi
  done < <(printf '%s\n' "${sources[@]}" |
    xargs -P "$jobs" -I{} bash -c 'if compile_one "$1"; then echo "ok $1"; else echo "fail $1"; fi' _ {})

  # Warnings count as failures too: the native build is warning-free, and so must this one be.
  for src in "${sources[@]}"; do
    log="$overlay/logs/$(echo "$src" | tr / _).log"
    if [ -s "$log" ] && [[ ! " ${failed[*]} " == *" $CXX:$src "* ]]; then
      echo "  WARN  $src"
      sed 's/^/        /' "$log" | head -40
      failed+=("$CXX:$src")
    fi
  done
}

failed=()
for compiler in $COMPILERS; do check_with "$compiler"; done

if [ ${#failed[@]} -gt 0 ]; then
  echo "windows-check: ${#failed[@]} compilations of ${#sources[@]} files do not compile cleanly against <windows.h>: ${failed[*]}"
  exit 1
fi
echo "windows-check: all ${#sources[@]} files compile against <windows.h> with $(echo $COMPILERS | wc -w) compilers"
