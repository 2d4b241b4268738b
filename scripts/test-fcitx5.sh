#!/usr/bin/env bash
# End-to-end test of the fcitx5 addon "DiroruDIV stroke": fcitx5 runs the
# addon from the build tree on a virtual X display in a private D-Bus
# session; a GTK 3 and a Qt 6 application type through their fcitx5
# frontends with xdotool. Checks the text each application got, that
# word.dat learned, and that typing into a password field did not.
# Prints "N passed, N failed" and exits non-zero on any failure.
#   scripts/test-fcitx5.sh [BUILD_DIR] [--screenshot PNG]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
shot=
while [ $# -gt 0 ]; do
  case $1 in
    --screenshot) shot=$(realpath -m "$2"); shift 2 ;;
    *) build=$(realpath "$1"); shift ;;
  esac
done
if [ -z "${DIRORU_FCITX5_SESSION:-}" ]; then
  exec env DIRORU_FCITX5_SESSION=1 dbus-run-session -- "$0" "$build" ${shot:+--screenshot "$shot"}
fi

for f in "$build/frontends/fcitx5/libdiroru-stroke.so" "$build/tests/frontends/diroru_fcitx5_qtapp" \
         "$build/tools/diroru_lookup" "$build/pack/bs.dat"; do
  [ -e "$f" ] || { echo "missing $f: build the tree first"; echo "0 passed, 1 failed"; exit 1; }
done

tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

passed=0 failed=0
check() { # name, then a command that must succeed
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok    $name"
  else failed=$((failed + 1)); echo "FAIL  $name"; fi
}
finish() {
  if [ "$failed" -ne 0 ]; then
    for log in "$tmp"/*.log; do echo "== ${log##*/}"; grep -v '^I20' "$log" | tail -n 20; done
  fi
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}
waitfor() { # seconds, then a command polled until it succeeds
  local end=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.2
  done
}

# The display.
display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 640x400x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
check "X server starts" waitfor 20 xdotool getdisplaygeometry || finish

# fcitx5 with the addon from the build tree, reading a copy of the built pack;
# one input method group (keyboard, then the stroke engine), its state
# shared by every window.
cp -r "$build/pack" "$tmp/pack"
mkdir -p "$tmp/config/fcitx5/conf" "$tmp/data"
cat >"$tmp/config/fcitx5/profile" <<EOF
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=diroru-stroke

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=diroru-stroke
Layout=

[GroupOrder]
0=Default
EOF
cat >"$tmp/config/fcitx5/config" <<EOF
[Behavior]
ShareInputState=All
EOF
echo "DataDir=$tmp/pack" >"$tmp/config/fcitx5/conf/diroru-stroke.conf"
systemaddons=$(dirname "$(ls -d /usr/lib/*/fcitx5/libclassicui.so | head -n1)")
export XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data
export XDG_DATA_DIRS=$build/frontends/fcitx5/share:/usr/local/share:/usr/share
export FCITX_ADDON_DIRS=$build/frontends/fcitx5:$systemaddons
export GTK_IM_MODULE=fcitx QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx NO_AT_BRIDGE=1
fcitx5 --disable=wayland,waylandim,notificationitem,kimpanel >"$tmp/fcitx5.log" 2>&1 &
pids+=($!)
# Asked before fcitx5 holds its name, fcitx5-remote would start another one
# through D-Bus activation.
fcitx5Ready() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 | grep -q true
}
check "fcitx5 starts" waitfor 20 fcitx5Ready || { cat "$tmp/fcitx5.log"; finish; }
controller() { dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 /controller "org.fcitx.Fcitx.Controller1.$@"; }
check "fcitx5 lists the input method" eval 'controller AvailableInputMethods | grep -q "\"diroru-stroke\""'
check "its options are configurable" eval 'controller GetConfig string:fcitx://config/inputmethod/diroru-stroke | grep -q "\"DataDir\""'

# The first candidate diroru_lookup lists, without its weight.
lookup() { "$build/tools/diroru_lookup" --pack "$tmp/pack" "$@" | sed -n '1s/^[^:]*: *\([^ 0-9]*\).*/\1/p'; }
first=$(lookup 2512)                 # the first candidate of 丨乛一丨
follower=$(lookup "$first")          # and the first of its association list
expected=$first$follower
sum() { md5sum "$tmp/pack/word.dat" | cut -d' ' -f1; }

# Focuses the window titled $1 and types: strokes 丨乛一丨, Space for the
# first candidate, 1 for the first association.
typeInto() {
  local window tries
  # xdotool gives up with BadWindow when a window it walks is destroyed
  # meanwhile (the previous application closing): ask again until found.
  for tries in $(seq 40); do
    window=$(xdotool search --name "$1" 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    sleep 0.5
  done
  [ -n "$window" ] || return
  timeout 10 xdotool windowfocus --sync "$window"
  sleep 0.5
  fcitx5-remote -o
  xdotool type --delay 60 szhs
  sleep 0.3
  xdotool key --delay 60 space 1
  sleep 0.5
}

# GTK 3: the text field, then Tab to the password field (focus leaving
# writes what was learned), the same keys there, then Tab back.
shipped=$(sum)
/usr/bin/python3 "$root/tests/frontends/fcitx5/GtkTextApp.py" "$tmp/gtk.txt" "$shot" >"$tmp/gtk.log" 2>&1 &
appPid=$!
pids+=($appPid)
typeInto "DiroruDIV GTK"
if [ -n "$shot" ]; then # the next stroke, with candidates promoted after the last choice
  xdotool type h
  sleep 0.5
  kill -USR1 "$appPid"
  sleep 0.5
  xdotool key Escape
fi
xdotool key Tab
sleep 0.5
got=$(sed -n 1p "$tmp/gtk.txt")
check "GTK 3 text field shows $expected (got $got)" [ "$got" = "$expected" ]
check "word.dat learned from the GTK 3 field" [ "$(sum)" != "$shipped" ]
learned=$(sum)
typeInto "DiroruDIV GTK"   # focus stays on the password field
xdotool key Tab
sleep 0.5
got=$(sed -n 2p "$tmp/gtk.txt")
# fcitx5 gives password fields the plain keys: the engine never sees them.
check "password field typed as plain keys (got $got)" [ "$got" = "szhs 1" ]
check "word.dat learned nothing from the password field" [ "$(sum)" = "$learned" ]
kill "$appPid"
wait "$appPid" 2>/dev/null || true

# Qt 6: one field.
"$build/tests/frontends/diroru_fcitx5_qtapp" "$tmp/qt.txt" >"$tmp/qt.log" 2>&1 &
appPid=$!
pids+=($appPid)
typeInto "DiroruDIV Qt"
got=$(cat "$tmp/qt.txt" 2>/dev/null)
check "Qt 6 text field shows $expected (got $got)" [ "$got" = "$expected" ]
fcitx5-remote -c   # the engine is switched off: it writes what it learned
sleep 0.5
kill "$appPid"
check "word.dat learned from the Qt 6 field" [ "$(sum)" != "$learned" ]

finish
