#!/bin/bash
# Runs the input-method tests (the executable given first), each test in a session of its own: a
# private mount namespace with a fresh directory over the passwd home (anthy keeps what it learns in
# <passwd home>/.anthy whatever $HOME says, and a conversion it learnt would change the order of the
# candidates), an Xvfb, a D-Bus session, and IBus with anthy in hiragana. A session that cannot be
# set up fails the run, with the reason.
set -u
TESTS=${1:?usage: ime_session.sh IME_TESTS_EXECUTABLE}
fail() { echo "ime_session: $*" >&2; exit 1; }

if [ "${1:-}" != --inner ] && [ -z "${IME_NAMESPACE:-}" ]; then
  for tool in Xvfb dbus-run-session ibus-daemon ibus gsettings gdbus pgrep xdotool unshare mount; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/lib.sh lists its package)"
  done
  [ -e /usr/share/ibus/component/anthy.xml ] || fail "the anthy engine for IBus is not installed (ibus-anthy)"
  # Root makes a mount namespace directly; anyone else as root of a user namespace of their own.
  if [ "$(id -u)" -eq 0 ]; then
    exec unshare --mount --propagation private env IME_NAMESPACE=1 "$0" "$TESTS"
  fi
  unshare --user --map-root-user --mount true 2>/dev/null || fail "cannot make a private mount namespace (unshare)"
  exec unshare --user --map-root-user --mount --propagation private env IME_NAMESPACE=1 "$0" "$TESTS"
fi

if [ "${1:-}" = --inner ]; then
  # Inside the D-Bus session: IBus with anthy, then one test.
  shift
  TESTS=$1 FILTER=$2 WORK=$3
  gsettings set org.freedesktop.ibus.engine.anthy.common input-mode 0 || fail "gsettings failed"
  gsettings set org.freedesktop.ibus.general preload-engines "['anthy']"
  ibus-daemon --replace --xim --panel default >"$WORK/ibus-daemon.log" 2>&1 &
  daemon=$!
  # Bounded waits on conditions: the daemon on anthy (preloaded, or asked for), then the engine's
  # process running.
  for _ in $(seq 600); do
    [ "$(ibus engine 2>/dev/null)" = anthy ] && pgrep -P "$daemon" -f ibus-anthy >/dev/null && break
    [ "$(ibus engine 2>/dev/null)" = anthy ] || ibus engine anthy >/dev/null 2>&1
    sleep 0.05
  done
  [ "$(ibus engine 2>/dev/null)" = anthy ] || fail "IBus did not start anthy ($(cat "$WORK/ibus-daemon.log"))"
  # The candidate window is the panel's: it must be on IBus's bus before the first conversion.
  panel_up() {
    gdbus call --address "$(ibus address)" --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
      --method org.freedesktop.DBus.NameHasOwner org.freedesktop.IBus.Panel 2>/dev/null | grep -q true
  }
  for _ in $(seq 600); do panel_up && break; sleep 0.05; done
  panel_up || fail "the IBus panel did not start ($(cat "$WORK/ibus-daemon.log"))"
  IME_SESSION=1 "$TESTS" --gtest_filter="$FILTER"
  status=$?
  ibus exit >/dev/null 2>&1
  wait "$daemon" 2>/dev/null
  exit $status
fi

# In the namespace: one session per test.
PWHOME=$(getent passwd "$(id -u)" | cut -d: -f6)
# /usr/bin first: the anthy engine runs "python3" from PATH and needs the system's (with python3-gi).
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 NO_AT_BRIDGE=1
tests=$("$TESTS" --gtest_list_tests | awk '/^[^ ]/{suite=$1} /^  /{print suite $1}')
[ -n "$tests" ] || fail "$TESTS lists no tests"
status=0
for test in $tests; do
  WORK=$(mktemp -d /tmp/ime-session.XXXXXX)
  mkdir -p "$WORK/home" "$WORK/run"
  chmod 700 "$WORK/run"
  mount --bind "$WORK/home" "$PWHOME" || fail "cannot put a fresh home over $PWHOME"
  export HOME=$PWHOME XDG_CONFIG_HOME=$PWHOME/.config XDG_CACHE_HOME=$PWHOME/.cache \
    XDG_DATA_HOME=$PWHOME/.local/share XDG_RUNTIME_DIR=$WORK/run
  # Xvfb writes its display number to the descriptor once it accepts connections.
  exec 3>"$WORK/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
  xvfb=$!
  exec 3>&-
  for _ in $(seq 400); do [ -s "$WORK/display" ] && break; sleep 0.05; done
  [ -s "$WORK/display" ] || fail "Xvfb did not start ($(cat "$WORK/xvfb.log"))"
  export DISPLAY=:$(head -1 "$WORK/display")
  echo "=== $test (X server $DISPLAY)"
  dbus-run-session -- "$0" --inner "$TESTS" "$test" "$WORK" || status=1
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  umount "$PWHOME"
  rm -rf "$WORK"
done
exit $status
