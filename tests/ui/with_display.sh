#!/usr/bin/env bash
# Runs a command on a virtual display of its own, which ends with it.
# Usage: with_display.sh COMMAND [ARGUMENTS...]
set -euo pipefail
command -v Xvfb >/dev/null || { echo "with_display: Xvfb is missing"; exit 1; }
work=$(mktemp -d)
# Xvfb picks a free display number itself, so that two runs at once never share one server.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 </dev/null &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "with_display: Xvfb chose no display"; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' < "$work/display")"
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
unset DBUS_SESSION_BUS_ADDRESS
"$@"
