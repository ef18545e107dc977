#!/usr/bin/env bash
# Compiles the system code (runtime/, console/, graphics/, program/) with mingw-w64 against the real
# Windows headers: compile only, no link, no run. Only platform/win32.h is visible of platform/, and
# it switches to <windows.h> there. Exits non-zero if any file fails, naming each one.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CXX=${MINGW_CXX:-x86_64-w64-mingw32-g++}
FOLDERS="runtime console graphics program"

if ! command -v "$CXX" >/dev/null 2>&1; then
  echo "windows-check: $CXX not found (Debian package g++-mingw-w64-x86-64)" >&2
  exit 1
fi

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
done)
if [ ${#sources[@]} -eq 0 ]; then
  echo "windows-check: no system sources yet"
  exit 0
fi

compile_one() {
  local src=$1
  "$CXX" -std=c++20 -Wall -Wextra -I "$overlay/include" -c "$ROOT/$src" -o /dev/null \
    >"$overlay/logs/$(echo "$src" | tr / _).log" 2>&1
}
export -f compile_one
export CXX ROOT overlay

failed=()
jobs=${WINDOWS_CHECK_JOBS:-2}
while read -r result src; do
  if [ "$result" = ok ]; then
    echo "  ok    $src"
  else
    echo "  FAIL  $src"
    sed 's/^/        /' "$overlay/logs/$(echo "$src" | tr / _).log" | head -40
    failed+=("$src")
  fi
done < <(printf '%s\n' "${sources[@]}" |
  xargs -P "$jobs" -I{} bash -c 'if compile_one "$1"; then echo "ok $1"; else echo "fail $1"; fi' _ {})

# Warnings count as failures too: the native build is warning-free, and so must this one be.
for src in "${sources[@]}"; do
  log="$overlay/logs/$(echo "$src" | tr / _).log"
  if [ -s "$log" ] && [[ ! " ${failed[*]} " == *" $src "* ]]; then
    echo "  WARN  $src"
    sed 's/^/        /' "$log" | head -40
    failed+=("$src")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "windows-check: ${#failed[@]} of ${#sources[@]} files do not compile cleanly against <windows.h>: ${failed[*]}"
  exit 1
fi
echo "windows-check: all ${#sources[@]} files compile against <windows.h>"
