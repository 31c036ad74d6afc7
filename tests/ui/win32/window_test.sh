#!/usr/bin/env bash
# Starts vantrel.exe under Wine on a virtual display of its own: the window titled "Vantrel"
# with its 32 controls, every text fitting its control, centred on the screen, a screenshot, the
# About entry of the system menu chosen with the keyboard, one Calculate on a data file under a
# non-ASCII folder name (its results file must equal vantrel-cli.exe's), Calculate stopped by a
# field that does not convert and on a missing file, a relative input name that means the same
# file after browsing in another folder, a long run that stays alive, and Escape, after which the
# program must end; then a run stopped from the close box.
# Usage: window_test.sh WINDOWS_BUILD_DIR ARTIFACTS_DIR
set -euo pipefail
cd "$(dirname "$0")/../../.."
build=$(realpath "$1")
artifacts=$2
mkdir -p "$artifacts"
source scripts/wine-env "$build"
export LC_ALL=C.UTF-8  # file names reach Wine as UTF-8

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
fail() { echo "window_test: $*"; cat "$work/program.log" 2>/dev/null || true; exit 1; }

# Xvfb picks a free display number itself, so that two runs at once never share one server.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 </dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb chose no display"
export DISPLAY=":$(tr -d '[:space:]' < "$work/display")"

probe() { wine64 "$build/tests/ui/window_probe.exe" "$@"; }
window=""
mkdir -p "$work/start"
# A program started while the previous test program's Wine server is shutting down can end at
# once without a word: the server is waited for, and such a start is tried once more.
program_started() {
  for attempt in 1 2; do
    wineserver -w
    (cd "$work/start" && exec wine64 "$build/ui/vantrel.exe") </dev/null >"$work/program.log" 2>&1 &
    program_pid=$!
    for _ in $(seq 1 300); do
      window=$(xdotool search --onlyvisible --name '^Vantrel$' 2>/dev/null | head -n 1 || true)
      [ -n "$window" ] && return 0
      kill -0 "$program_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$program_pid" 2>/dev/null && fail "no window titled Vantrel appeared"
    wait "$program_pid" 2>/dev/null || true
    echo "window_test: vantrel.exe ended before showing its window (attempt $attempt)"
  done
  fail "vantrel.exe ended before showing its window"
}
program_started

probe controls >"$work/controls.txt" || { cat "$work/controls.txt"; fail "not the 32 controls"; }
tail -n 1 "$work/controls.txt"
probe textfit >"$work/textfit.txt" || { cat "$work/textfit.txt"; fail "a text does not fit its control"; }
echo "window_test: every text fits its control"
probe centred || fail "the dialog is not centred on the screen"
sleep 1  # the first paint
import -window "$window" "$artifacts/main-dialog.png"
echo "window_test: screenshot in $artifacts/main-dialog.png"

# The system menu from the keyboard: Alt+Space opens it, Up wraps to its last entry (Map
# roughness...), Up twice more reaches the About entry, and Enter chooses it.
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --clearmodifiers alt+space
sleep 1
import -window root "$artifacts/system-menu.png"
xdotool key Up Up Up Return
probe about || fail "the system menu's About entry did not open the About box"

# One Calculate through the dialog, on a file under a folder whose name is not ASCII.
mkdir -p "$work/dati-è" "$work/cli"
cp examples/rough_surface.txt "$work/dati-è/"
cp examples/rough_surface.txt "$work/cli/"
input=$(wine64 winepath -w "$work/dati-è/rough_surface.txt" 2>/dev/null | tr -d '\r')
probe calculate "$input" 4 64 12 0 || fail "Calculate did not complete"
(cd "$work/cli" && wine64 "$build/cli/vantrel-cli.exe" run --input rough_surface.txt \
   --shift 0.5 0.5 --linear 4 64 12 --yes --quiet)
[ -s "$work/dati-è/rough_surface.txt.out.txt" ] || fail "Calculate wrote no results"
cmp "$work/dati-è/rough_surface.txt.out.txt" "$work/cli/rough_surface.txt.out.txt" \
  || fail "the dialog's results file differs from vantrel-cli.exe's"
echo "window_test: Calculate wrote the same results file as vantrel-cli.exe"

# The results of vantrel-cli.exe, under a plain folder name: a right click on the dialog opens the menu of About and Analyse results... at the pointer; the
# second entry lies a line and a half below it. The plot window draws the plot itself, copies the summary and the table, and saves
# SVG and PNG (drawn by GDI).
probe input "$(wine64 winepath -w "$work/cli/rough_surface.txt" 2>/dev/null | tr -d '\r')"
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool mousemove --window "$window" 300 30 click 3
sleep 1
import -window root -crop 640x320+0+0 +repage "$artifacts/context-menu-windows.png"
xdotool mousemove_relative 60 28 click 1
probe plot || fail "the context menu's Analyse results... opened no plot window"
sleep 1
plot_window=$(xdotool search --onlyvisible --name '^Analyse results$' 2>/dev/null | head -n 1 || true)
[ -n "$plot_window" ] && import -window "$plot_window" "$artifacts/analyse-window-windows.png"
echo "window_test: screenshot in $artifacts/analyse-window-windows.png"
probe copy >"$work/copied.txt" || fail "Copy put nothing on the clipboard"
grep -q '^Hurst exponent H = ' "$work/copied.txt" || fail "Copy gave no summary: $(cat "$work/copied.txt")"
grep -q "^side	area	" "$work/copied.txt" || fail "Copy gave no table"
for ending in svg png; do
  saved=$(wine64 winepath -w "$work/saved-plot.$ending" 2>/dev/null | tr -d '\r')
  probe saveplot "$saved" || fail "Save plot... wrote no $ending file"
done
grep -q '>window side s</text>' "$work/saved-plot.svg" || fail "the saved SVG has no texts"
[ "$(head -c 4 "$work/saved-plot.png" | tail -c 3)" = PNG ] || fail "the saved PNG is not a PNG"
probe closeplot || fail "Close left the plot window open"
echo "window_test: the plot window opened from the context menu, copied and saved its plot"

# The menu's third entry, Map roughness..., maps the input file in a plot window of its own.
xdotool mousemove --window "$window" 300 30 click 3
sleep 1
xdotool mousemove_relative 60 47 click 1
probe mapplot >"$work/map-copied.txt" || fail "Map roughness... showed no map: $(cat "$work/map-copied.txt")"
grep -q 'rough_surface.txt: 256 x 256' "$work/map-copied.txt" ||
  fail "the map window's Copy gave no summary: $(cat "$work/map-copied.txt")"
echo "window_test: Map roughness... showed the map of the input file"

# A field that does not convert stops Calculate; a missing file is named with the reason.
probe badfield || fail "Calculate went on after a field that does not convert"
probe message missing.txt 'Error loading data\n\nmissing.txt\nNo such file or directory' ||
  fail "Error loading data did not name the file and the reason"

# Browsing in another folder leaves the current folder as it was: the relative input name still
# names the file beside the program's start, and the results go there.
mkdir -p "$work/other"
printf '16\n64\n' >"$work/other/areas.txt"
cp examples/rough_surface.txt "$work/start/"
probe browse-progression "$(wine64 winepath -w "$work/other/areas.txt" 2>/dev/null | tr -d '\r')" ||
  fail "the progression file's open dialog did not take the file"
probe calculate rough_surface.txt 4 64 12 0 || fail "Calculate on a relative name after browsing failed"
cmp "$work/start/rough_surface.txt.out.txt" "$work/cli/rough_surface.txt.out.txt" ||
  fail "the relative input name did not mean the file beside the program after browsing"
echo "window_test: a relative name means the same file after browsing elsewhere"

# A long run: progress in the title bar, and a second Calculate during it starts nothing.
awk 'BEGIN { srand(1); for (i = 0; i < 1000; i++) { line = ""
             for (j = 0; j < 1000; j++) line = line sprintf("%.4f ", rand()); print line } }' \
  >"$work/big.txt"
big=$(wine64 winepath -w "$work/big.txt" 2>/dev/null | tr -d '\r')
probe longrun "$big" 12000 || fail "the long run did not stay alive"
[ "$(wc -l <"$work/big.txt.out.txt")" -eq 3000 ] || fail "the long run wrote $(wc -l <"$work/big.txt.out.txt") lines"
import -window "$window" "$artifacts/after-long-run.png"

xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --clearmodifiers Escape
for _ in $(seq 1 100); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "vantrel.exe was still running 10 seconds after Escape"
status=0
wait "$program_pid" || status=$?
program_pid=""
[ "$status" -eq 0 ] || fail "vantrel.exe exited with status $status"

# A run stopped from the close box: asked, stopped, and the program ends; the results file stays
# as a failed run leaves it.
program_started
probe stoprun "$big" 40000 || fail "the close box did not stop the run in time"
for _ in $(seq 1 100); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "vantrel.exe was still running after its run was stopped"
program_pid=""
[ "$(wc -l <"$work/big.txt.out.txt")" -lt 10000 ] || fail "the stopped run wrote every area"
echo "window_test: window shown, About opened from the system menu, closed with Escape and with a run stopped"
