#!/usr/bin/env bash
# The panel on a real X server: Xvfb at 1920 x 1080 with the openbox window
# manager, taps sent as real clicks by xdotool. Runs panel_x11_tests in a Qt
# Quick application at scale 1, 2 and auto and in a widget application at
# scale 2, saves the screenshots in <build>/x11-screenshots and prints
# "N passed, N failed". (Xvfb's RandR always reports 96 dpi, whatever -dpi
# says, so auto gives scale 1 here; the scale's arithmetic for dense screens
# is tested by typing_tests.)
#   scripts/test-x11.sh [BUILD_DIR]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/install-deps.sh" || exit 1
cmake --build "$build" --target panel_x11_tests diroru_inputcontext diroru_plugin diroru_pack >/dev/null || exit 1
shots="$build/x11-screenshots"
rm -rf "$shots" && mkdir -p "$shots"

passed=0
failed=0
server=
wm=
stop() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wait 2>/dev/null
  wm= server=
}
trap stop EXIT

# run DPI SCALE [APP]: one display per run, so each starts from a clean screen.
run() {
  local dpi=$1 scale=$2 app=${3:-qml} display=:$((90 + RANDOM % 9))
  Xvfb "$display" -screen 0 1920x1080x24 -dpi "$dpi" -nolisten tcp >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 50); do DISPLAY=$display xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
  DISPLAY=$display openbox >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
  local log="$shots/run-$app-$dpi-$scale.log"
  if DISPLAY=$display QT_QPA_PLATFORM=xcb DIRORU_X11_APP=$app DIRORU_PACK_DIR="$build/pack" DIRORU_PANEL_SCALE=$scale DIRORU_SCREENSHOT_DIR="$shots/$app-scale-$scale" \
      timeout 120 "$build/tests/frontends/panel_x11_tests" >"$log" 2>&1; then :; fi
  passed=$((passed + $(grep -c '^\[       OK \]' "$log")))
  failed=$((failed + $(grep -c '^\[  FAILED  \] [A-Za-z]' "$log")))
  grep -E '^scale|Failure|FAILED  \] [A-Za-z]' -A3 "$log" | head -40
  stop
}

start=$(date +%s)
run 96 1
run 96 2
run 96 auto
run 96 2 widgets
echo "screenshots: $shots"
echo "$passed passed, $failed failed ($(( $(date +%s) - start )) s)"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
