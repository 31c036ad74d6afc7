#!/usr/bin/env bash
# Starts the real vantrel on a virtual display of its own, waits for the window titled
# "Vantrel", saves a screenshot of it, presses Escape and checks that the program ends soon.
# Usage: real_window_test.sh PATH_TO_VANTREL ARTIFACTS_DIR
set -euo pipefail

program=$1
artifacts=$2
mkdir -p "$artifacts"

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "real_window_test: $tool is missing (scripts/install-deps installs it)"; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it to descriptor 3, so that two runs at
# once never share (and then kill) one server.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 </dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "real_window_test: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  sleep 0.1
done
[ -s "$work/display" ] || { echo "real_window_test: Xvfb chose no display"; exit 1; }
display=":$(tr -d '[:space:]' < "$work/display")"
export DISPLAY=$display
for _ in $(seq 1 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "real_window_test: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "real_window_test: Xvfb did not answer"; exit 1; }

# No session bus or accessibility bus on a bare display: keep GTK from looking for them.
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
unset DBUS_SESSION_BUS_ADDRESS
"$program" </dev/null >"$work/program.log" 2>&1 &
program_pid=$!

window=""
for _ in $(seq 1 150); do
  window=$(xdotool search --onlyvisible --name '^Vantrel$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$program_pid" 2>/dev/null || { echo "real_window_test: vantrel ended before showing its window"; cat "$work/program.log"; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { echo "real_window_test: no window titled Vantrel appeared"; cat "$work/program.log"; exit 1; }

# Let the first paint finish before the picture is taken.
sleep 1
import -window "$window" "$artifacts/main-dialog.png"
echo "real_window_test: screenshot in $artifacts/main-dialog.png"

xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --clearmodifiers Escape

for _ in $(seq 1 50); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "real_window_test: vantrel was still running 5 seconds after Escape"
  cat "$work/program.log"
  exit 1
fi
status=0
wait "$program_pid" || status=$?
program_pid=""
if [ "$status" -ne 0 ]; then
  echo "real_window_test: vantrel exited with status $status"
  cat "$work/program.log"
  exit 1
fi
echo "real_window_test: window shown and closed with Escape"
