#!/usr/bin/env bash
# install_test.sh CMAKE BUILD_DIR SOURCE_DIR: installs the build into a scratch prefix whose path has a
# space in it (the entry's Exec must quote it) and checks what a desktop relies on. Every wait is for
# a condition, bounded.
set -euo pipefail
cmake=$1
build=$2
source=$3

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tilepaint-install.XXXXXX")
prefix="$scratch/a prefix"
server=""
program=""
cleanup() {
  set +e
  [ -n "$program" ] && kill -KILL "$program" 2>/dev/null
  [ -n "$server" ] && kill -TERM "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# poll TRIES COMMAND...: runs COMMAND every 0.1 s until it succeeds, at most TRIES times.
poll() {
  local tries=$1
  shift
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# entry_value KEY: the key's value in the entry's [Desktop Entry] group, with the string escapes
# (\s \n \t \r \\) undone.
entry_value() {
  local raw out="" c i
  raw=$(awk -v key="$1" '/^\[/ { group = $0 } group == "[Desktop Entry]" && index($0, key "=") == 1 {
    print substr($0, length(key) + 2); exit }' "$entry")
  for ((i = 0; i < ${#raw}; i++)); do
    c=${raw:i:1}
    if [ "$c" = "\\" ]; then
      i=$((i + 1))
      case ${raw:i:1} in
        s) c=" " ;; n) c=$'\n' ;; t) c=$'\t' ;; r) c=$'\r' ;; *) c=${raw:i:1} ;;
      esac
    fi
    out+=$c
  done
  printf '%s' "$out"
}

# exec_program EXEC: the program an Exec value starts, its first argument with the quoting undone.
exec_program() {
  local exec=$1 out="" c i
  if [ "${exec:0:1}" != '"' ]; then
    out=${exec%% *}
  else
    for ((i = 1; i < ${#exec}; i++)); do
      c=${exec:i:1}
      [ "$c" = '"' ] && break
      if [ "$c" = "\\" ]; then
        i=$((i + 1))
        c=${exec:i:1}
      fi
      out+=$c
    done
  fi
  printf '%s' "${out//%%/%}"
}

# --- the installed files -------------------------------------------------------------------------
"$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log"; fail "cmake --install failed"; }
for p in tilepaint prompt-echo tilebasic; do
  [ -f "$prefix/bin/$p" ] && [ -x "$prefix/bin/$p" ] || fail "no program $prefix/bin/$p"
done
# The installed BASIC runner runs a program headless.
printf '10 PRINT 6 * 7\n' >"$scratch/answer.bas"
[ "$("$prefix/bin/tilebasic" --headless "$scratch/answer.bas")" = " 42 " ] ||
  fail "the installed tilebasic does not run a program"
cmp -s "$source/assets/TILE_TEST.bmp" "$prefix/share/tilepaint/TILE_TEST.bmp" ||
  fail "share/tilepaint/TILE_TEST.bmp is missing or differs from assets/TILE_TEST.bmp"
icon="$prefix/share/icons/hicolor/64x64/apps/tilepaint.png"
[ "$(identify -format '%m %wx%h' "$icon" 2>&1)" = "PNG 64x64" ] || fail "$icon is not a 64 x 64 PNG"
entry="$prefix/share/applications/tilepaint.desktop"
[ -f "$entry" ] || fail "no desktop entry $entry"

# --- the entry --------------------------------------------------------------------------------------
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate has remarks: $report"
[ "$(entry_value Type)" = "Application" ] || fail "Type is not Application"
[ "$(entry_value Icon)" = "tilepaint" ] || fail "Icon does not name the installed tilepaint.png"
path=$(entry_value Path)
[ -f "$path/TILE_TEST.bmp" ] || fail "the entry's Path ($path) holds no TILE_TEST.bmp"
exec_value=$(entry_value Exec)
program_file=$(exec_program "$exec_value")
[ "${program_file:0:1}" = "/" ] && [ "$program_file" -ef "$prefix/bin/tilepaint" ] ||
  fail "the entry's Exec ($exec_value) does not name the installed tilepaint"

# --- the installed program, started as the entry says -----------------------------------------------
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "install: files and entry checked; Xvfb or xdotool missing, the program was not started"
  exit 0
fi
# Xvfb picks a free display and writes its number when it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
server=$!
poll 300 grep -q '^[0-9]' "$scratch/display" || { cat "$scratch/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n 1 "$scratch/display")"

(cd "$path" && exec "$program_file") >"$scratch/program.log" 2>&1 &
program=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^BASIC PROMPT$' | head -n 1) ||
  { cat "$scratch/program.log"; fail "no window captioned BASIC PROMPT"; }

# The picture was found in the working directory: the window's top row is the picture's top row
# (the demonstration draws it at the corner; its line-doubling pages keep row 0 as it is).
row() { convert "$1" -crop 160x1+0+0 +repage -alpha off -depth 8 txt:- | tail -n +2 | awk '{ print $3 }'; }
expected=$(row "$path/TILE_TEST.bmp")
shows_picture() {
  import -silent -window "$window" "$scratch/window.png" 2>/dev/null && [ "$(row "$scratch/window.png")" = "$expected" ]
}
poll 300 shows_picture || fail "the window does not show TILE_TEST.bmp at its corner"

kill -TERM "$program"
ended() { [ ! -e "/proc/$program" ] || [ "$(awk '{ print $3 }' "/proc/$program/stat" 2>/dev/null)" = "Z" ]; }
poll 600 ended || fail "tilepaint did not end within 60 s of SIGTERM"
status=0
wait "$program" || status=$?
program=""
[ "$status" -eq 0 ] || { cat "$scratch/program.log"; fail "tilepaint ended with $status on SIGTERM"; }
echo "install: files, entry and the installed program checked"
